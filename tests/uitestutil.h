// The real main window with its file dialogs and message boxes answered ahead, so none blocks.
#pragma once

#include "filedialog.h"
#include "form1.h"
#include "messages.h"

#include <QAction>
#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>

namespace uitest {

// Chooses a menu command by its object name, as a click on it would.
inline void trigger(QWidget& window, const char* name) {
    window.findChild<QAction*>(QLatin1String(name))->trigger();
}

// Activates at once, as a click would; activateWindow() waits for a platform that never answers.
inline void activate(QWidget* window) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
}

// A main window and a folder; a file dialog gives the answer set once and notes its start name.
struct Editor {
    using Answer = rigtune::os::FileDialogAnswer;
    QTemporaryDir dir;
    rigtune::Form1 window;
    Answer answer; // none yet: a cancel
    QStringList startNames, messages;

    Editor() {
        rigtune::CommonDialog::setHook([this](rigtune::CommonDialog::Mode, const QString& start) {
            startNames << start;
            return std::exchange(answer, Answer());
        });
        rigtune::setMessageHook([this](const QString& text) { messages << text; });
    }
    ~Editor() {
        rigtune::CommonDialog::setHook({});
        rigtune::setMessageHook({});
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // Answers the next dialog with path (an empty one cancels) and chooses the command.
    void run(const char* command, const QString& path) {
        answer = {path.isEmpty() ? Answer::Outcome::Cancelled : Answer::Outcome::Chosen, path};
        trigger(window, command);
    }
};

} // namespace uitest
