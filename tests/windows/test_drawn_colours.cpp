// The main window as the windows platform plugin and the Windows style draw it, read back from the
// screen: black value boxes with light-yellow text, grey labels with light-yellow text in a face
// with Arial's widths. Needs a display.
#include "fieldtable.h"
#include "form1.h"
#include "setupgrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <optional>

using namespace rigtune;

namespace {

const QColor LightYellow(255, 255, 192);
const QColor PanelGrey(128, 128, 128);

bool near(QColor a, const QColor& b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

int count(const QImage& image, const QColor& colour, int tolerance) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += near(image.pixelColor(x, y), colour, tolerance) ? 1 : 0;
    return n;
}

QString describe(const QString& name, const QImage& image, const char* what) {
    return QStringLiteral("%1: %2 (%3x%4 pixels; first %5)")
        .arg(name, QLatin1String(what))
        .arg(image.width())
        .arg(image.height())
        .arg(image.pixelColor(image.width() / 2, image.height() / 2).name());
}

} // namespace

class TestDrawnColours : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        window.emplace();
        for (std::size_t i = 0; i < FieldCount; ++i)
            window->setValue(i, QStringLiteral("88"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*window));
        QTest::qWait(200); // painted on screen, not only exposed
        screen = window->screen()->grabWindow(window->winId()).toImage();
        QVERIFY(!screen.isNull());
    }

    // The inside of each box: mostly black, and its digits drawn light yellow.
    void valueBoxesBlackWithLightYellowText() {
        for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
            const QImage inside = drawn(box).copy(box->rect().adjusted(3, 3, -3, -3));
            const int pixels = inside.width() * inside.height();
            QVERIFY2(count(inside, Qt::black, 8) > pixels / 2,
                     qPrintable(describe(box->objectName(), inside, "not black")));
            QVERIFY2(count(inside, LightYellow, 40) >= 8,
                     qPrintable(describe(box->objectName(), inside, "no light-yellow text")));
        }
    }

    // Labels on the grey panel: grey, with light-yellow text.
    void labelsGreyWithLightYellowText() {
        for (QLabel* label : labels()) {
            const QImage image = drawn(label);
            const int pixels = image.width() * image.height();
            QVERIFY2(count(image, PanelGrey, 8) > pixels / 2,
                     qPrintable(describe(label->objectName(), image, "not grey")));
            QVERIFY2(count(image, LightYellow, 40) >= 8,
                     qPrintable(describe(label->objectName(), image, "no light-yellow text")));
        }
    }

    // The labels' face, as the system resolves "Arial", has Arial's widths: each text fits its
    // label but for the 2 pixels that Arial's own widths at 11 pixels need for "Tire Pressure".
    // Another face (Wine has no Arial of its own) overruns by far more.
    void labelTextsFit() {
        for (QLabel* label : labels()) {
            const int width = QFontMetrics(label->font()).horizontalAdvance(label->text());
            QVERIFY2(width <= label->width() + 2,
                     qPrintable(QStringLiteral("%1: \"%2\" is %3 pixels wide in %4, the label %5")
                                    .arg(label->objectName(), label->text())
                                    .arg(width)
                                    .arg(QFontInfo(label->font()).family())
                                    .arg(label->width())));
        }
    }

    void cleanupTestCase() { window.reset(); }

private:
    QList<QLabel*> labels() const {
        QList<QLabel*> found = window->findChildren<QLabel*>();
        found.removeIf([](QLabel* label) { return !label->pixmap().isNull(); }); // the banner
        return found;
    }

    // The part of the screen grab that a widget covers.
    QImage drawn(QWidget* widget) const {
        const QPoint corner = widget->mapTo(&*window, QPoint(0, 0));
        const qreal ratio = screen.devicePixelRatio();
        return screen.copy(QRect(corner * ratio, widget->size() * ratio));
    }

    std::optional<Form1> window;
    QImage screen;
};

QTEST_MAIN(TestDrawnColours)
#include "test_drawn_colours.moc"
