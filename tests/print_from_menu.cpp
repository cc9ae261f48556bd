// Prints the way a user does, through the real main window: File > Open of the given set-up file
// (when one is given), then File > Print. Writes each message the editor would have shown to
// standard output; exits 0 when there was none, 2 when there was one.
#include "uitestutil.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    uitest::Editor editor;
    editor.window.show();
    if (argc > 1)
        editor.run("mnuImport", QString::fromLocal8Bit(argv[1]));
    uitest::trigger(editor.window, "mnuPrint");
    for (const QString& message : editor.messages)
        std::printf("message: %s\n", qPrintable(message));
    return editor.messages.isEmpty() ? 0 : 2;
}
