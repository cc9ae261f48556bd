// Driving the real main window in tests: file dialogs and message boxes answered ahead of time,
// so nothing modal ever blocks, and menu commands chosen as a click would.
#pragma once

#include "filedialog.h"
#include "form1.h"
#include "messages.h"

#include <QAction>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

namespace uitest {

// Chooses a menu command by its object name, as a click on it would.
inline void trigger(QWidget& window, const char* name) {
    window.findChild<QAction*>(QLatin1String(name))->trigger();
}

// A main window and a folder of its own. A file dialog takes the answer given to it once (none or
// an empty name cancels) and records the name it started from; messages are collected.
struct Editor {
    QTemporaryDir dir;
    rigtune::Form1 window;
    std::optional<QString> answer;
    QStringList startNames;
    QStringList messages;

    Editor() {
        rigtune::CommonDialog::setHook([this](rigtune::CommonDialog::Mode, const QString& start) {
            startNames << start;
            return std::exchange(answer, std::nullopt);
        });
        rigtune::setMessageHook([this](const QString& text) { messages << text; });
    }
    ~Editor() {
        rigtune::CommonDialog::setHook({});
        rigtune::setMessageHook({});
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // Answers the next dialog with path and chooses the command.
    void run(const char* command, const QString& path) {
        answer = path;
        trigger(window, command);
    }
};

} // namespace uitest
