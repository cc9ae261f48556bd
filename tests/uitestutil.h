// Helpers for driving the real windows in tests: the file dialog and message boxes answered
// ahead of time, so nothing modal ever blocks.
#pragma once

#include "filedialog.h"
#include "messages.h"

#include <QAction>
#include <QStringList>
#include <QWidget>

namespace uitest {

// A dialog answer that cancels it.
inline const QString Cancel;

// Answers file dialogs from a queue (Cancel, or no answer left, cancels) and records the names
// they started from.
struct DialogScript {
    QStringList answers;
    QStringList startNames;

    DialogScript() {
        rigtune::CommonDialog::setHook([this](rigtune::CommonDialog::Mode, const QString& start) {
            startNames << start;
            const QString next = answers.isEmpty() ? Cancel : answers.takeFirst();
            return next.isNull() ? std::nullopt : std::optional<QString>(next);
        });
    }
    ~DialogScript() { rigtune::CommonDialog::setHook({}); }
};

// Chooses a menu command by its object name, as a click on it would. A name that is not there is
// a mistake in the test itself, so it stops the program.
inline void trigger(QWidget& window, const char* name) {
    QAction* action = window.findChild<QAction*>(QLatin1String(name));
    if (!action)
        qFatal("no menu command %s", name);
    action->trigger();
}

// Collects the messages the editor would show.
struct MessageLog {
    QStringList messages;
    MessageLog() {
        rigtune::setMessageHook([this](const QString& text) { messages << text; });
    }
    ~MessageLog() { rigtune::setMessageHook({}); }
};

} // namespace uitest
