// File > Open of the set-up file given, File > Print; prints each message, exit status 2 if any.
#include "uitestutil.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 1;
    QApplication app(argc, argv);
    uitest::Editor editor;
    editor.window.show();
    editor.run("mnuImport", QString::fromLocal8Bit(argv[1]));
    uitest::trigger(editor.window, "mnuPrint");
    std::puts(qPrintable(editor.messages.join(u'\n')));
    return editor.messages.isEmpty() ? 0 : 2;
}
