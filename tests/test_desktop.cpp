// The windows under a larger desktop font, a dark colour scheme, a dense screen: every text fits
// and stands out, the art is the sharp one the screen needs, and the desktop knows the program.
#include "form1.h"
#include "form2.h"
#include "frmabout.h"

#include <QLabel>
#include <QSettings>
#include <QTest>
#include <cmath>

using namespace rigtune;

namespace {

// Relative luminance plus the 0.05 of flare, as contrast ratios take it.
double luminance(QRgb rgb) {
    const auto lin = [](int channel) { return std::pow(channel / 255.0, 2.2); };
    return 0.2126 * lin(qRed(rgb)) + 0.7152 * lin(qGreen(rgb)) + 0.0722 * lin(qBlue(rgb)) + 0.05;
}

// The contrast ratio between the commonest colour of the area (behind the text) and the one that
// stands out most from it (the text's strokes): 1 when nothing stands out, 21 for black on white.
double contrastIn(const QImage& shot, const QRect& area) {
    QHash<QRgb, int> counts;
    QRgb back = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const QRgb c = shot.pixel(x, y); ++counts[c] > counts.value(back))
                back = c;
    double best = 1;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
        best = std::max({best, luminance(*it) / luminance(back), luminance(back) / luminance(*it)});
    return best;
}

// Texts not inside their labels by the font's advances (give a pixel for a last letter's side
// bearing), or below the contrast of 3.0 that accessibility rules ask of large text.
QStringList textFaults(QWidget& window, const QString& when) {
    window.show();
    const QImage shot = window.grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QString where = window.objectName() + QStringLiteral(", ") + when + QStringLiteral(": ");
    QStringList faults;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        const QRect room = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = label->fontMetrics().boundingRect(room, flags, label->text());
        const QRect area(label->mapTo(&window, needed.topLeft()) * ratio, needed.size() * ratio);
        if (label->text().isEmpty() || !label->isVisibleTo(&window))
            continue;
        if (!room.adjusted(-1, -1, 1, 1).contains(needed))
            faults << where + label->text() + " does not fit";
        else if (const double contrast = contrastIn(shot, area & shot.rect()); contrast < 3.0)
            faults << where + label->text() + QStringLiteral(": contrast %1").arg(contrast);
    }
    return faults;
}

QImage flat(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    // Built under the desktop's font and colours, as a platform theme hands them to the program.
    void textFitsAndStandsOut() {
        const QFont desktopFont = QApplication::font();
        const QPalette desktopPalette = QApplication::palette();
        const QPalette dark(QColor(53, 53, 53)); // window and buttons; texts become white
        QStringList faults;
        for (int pointSize : {11, 14})
            for (bool isDark : {false, true}) {
                QApplication::setFont(QFont(desktopFont.family(), pointSize));
                QApplication::setPalette(isDark ? dark : desktopPalette);
                Form1 main;
                Form2 sheet;
                frmAbout about(nullptr);
                for (QWidget* window : std::initializer_list<QWidget*>{&main, &sheet, &about})
                    faults << textFaults(*window, QStringLiteral("%1 pt%2").arg(pointSize).arg(
                                                      isDark ? ", dark" : ""));
            }
        QApplication::setFont(desktopFont);
        QApplication::setPalette(desktopPalette);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // At a device pixel ratio of 2 (QT_SCALE_FACTOR=2) the screen shows the @2x artwork pixel
    // for pixel, elsewhere the 1x one; either fills its box exactly. The window icon holds both.
    void artIsTheOneForTheScreen() {
        Form1 main;
        frmAbout about(nullptr);
        for (const auto& [box, art] : {std::pair{main.findChild<QLabel*>("Picture1"), ":/banner"},
                                       {about.findChild<QLabel*>("picIcon"), ":/logo"}})
            QCOMPARE(flat(box->grab(box->contentsRect()).toImage()),
                     flat(QImage(art +
                                 QLatin1String(box->devicePixelRatio() > 1 ? "@2x.png" : ".png"))));
        for (qreal ratio : {1.0, 2.0})
            QCOMPARE(flat(main.windowIcon().pixmap(QSize(32, 32), ratio).toImage()),
                     flat(QImage(ratio > 1 ? ":/icon-32@2x.png" : ":/icon-32.png")));
    }

    // X11 gives the windows the application name as their class, Wayland the desktop file name as
    // their id; the installed menu entry must answer to both.
    void desktopEntryNamesTheApplication() {
        nameApplication();
        const QSettings entry(
            QStringLiteral(RIGTUNE_PACKAGING "/%1.desktop").arg(QGuiApplication::desktopFileName()),
            QSettings::IniFormat);
        QCOMPARE(entry.value("Desktop Entry/StartupWMClass").toString(),
                 QCoreApplication::applicationName());
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
