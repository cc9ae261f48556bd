// Prints the way a user does, through the real main window: File > Open of the given set-up file
// (when one is given), then File > Print. Writes each message the editor would have shown to
// standard output; exits 0 when there was none, 2 when there was one.
#include "form1.h"
#include "uitestutil.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    uitest::DialogScript dialogs;
    uitest::MessageLog log;
    rigtune::Form1 window;
    window.show();
    if (argc > 1) {
        dialogs.answers << QString::fromLocal8Bit(argv[1]);
        uitest::trigger(window, "mnuImport");
    }
    uitest::trigger(window, "mnuPrint");
    for (const QString& message : log.messages)
        std::printf("message: %s\n", qPrintable(message));
    return log.messages.isEmpty() ? 0 : 2;
}
