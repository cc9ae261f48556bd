// File > Open of the set-up file given, File > Print; writes each message the editor showed as
// "message: TEXT", exit status 2 if there was one.
#include "uitestutil.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    uitest::Editor editor;
    editor.window.show();
    editor.run("mnuImport", QString::fromLocal8Bit(argv[1]));
    uitest::trigger(editor.window, "mnuPrint");
    for (const QString& message : editor.messages)
        std::printf("message: %s\n", qPrintable(message));
    return editor.messages.isEmpty() ? 0 : 2;
}
