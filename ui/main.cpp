#include "form1.h"
#include "texts.h"

#include <QApplication>

namespace {

// Names the program to the desktop before its first window: the application name, which Qt gives
// the windows as their X11 class, and the id of the installed menu entry, which Qt on Wayland
// gives them as their app id. By either the desktop finds the entry's name and icon.
void nameApplication() {
    QGuiApplication::setApplicationName(rigtune::ApplicationTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral(RIGTUNE_APP_ID));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    nameApplication();
    rigtune::Form1 window;
    window.show();
    return app.exec();
}
