#include "messages.h"

#include "texts.h"

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
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void setMessageHook(MessageHook hook) {
    messageHook() = std::move(hook);
}

} // namespace rigtune
