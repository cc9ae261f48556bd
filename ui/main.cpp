#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel placeholder;
    placeholder.setPixmap(QPixmap(QStringLiteral(":/banner.png")));
    placeholder.show();
    return app.exec();
}
