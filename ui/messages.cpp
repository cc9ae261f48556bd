#include "messages.h"

#include <QMessageBox>

namespace rigtune {

namespace {
MessageHook& messageHook() {
    static MessageHook hook;
    return hook;
}
} // namespace

void showMessage(QWidget* parent, const QString& text) {
    if (messageHook()) {
        messageHook()(text);
        return;
    }
    makeMessageBox(parent, text)->exec();
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text) {
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, ApplicationTitle, text,
                                         QMessageBox::Ok, parent);
}

void setMessageHook(MessageHook hook) {
    messageHook() = std::move(hook);
}

} // namespace rigtune
