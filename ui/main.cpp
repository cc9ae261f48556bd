#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Rigtune: the editor window is not built yet."));
    placeholder.show();
    return app.exec();
}
