// The windows as players' desktops show them: a larger desktop font, a dark colour scheme, a
// dense screen. Every text fits its control and stands out from what is drawn behind it, the art
// is the sharp one the screen needs, and the desktop knows the program.
#include "fileerrors.h"
#include "form2.h"
#include "frmabout.h"
#include "messages.h"
#include "uitestutil.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <cmath>

using namespace rigtune;

namespace {

enum class Window { Main, PrintSheet, About, Message };

std::unique_ptr<QWidget> build(Window window) {
    switch (window) {
    case Window::Main:
        return std::make_unique<Form1>();
    case Window::PrintSheet:
        return std::make_unique<Form2>();
    case Window::About:
        return std::make_unique<frmAbout>(nullptr);
    case Window::Message:
        return makeMessageBox(nullptr, cannotSaveMessage(QStringLiteral("/home/player/Gravlund/"
                                                                        "setups/gravel rally.str"),
                                                         QStringLiteral("it is read-only.")));
    }
    return nullptr;
}

// Where a control draws its text, and how.
std::pair<QRect, int> textPlace(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        const int margin = label->margin();
        return {label->contentsRect().adjusted(margin, margin, -margin, -margin),
                int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0)};
    }
    QStyleOptionButton option;
    option.initFrom(control);
    option.text = static_cast<QPushButton*>(control)->text();
    return {control->style()->subElementRect(QStyle::SE_PushButtonContents, &option, control),
            Qt::AlignCenter | Qt::TextShowMnemonic};
}

double luminance(QRgb rgb) {
    double sum = 0;
    for (const auto& [channel, weight] :
         {std::pair{qRed(rgb), 0.2126}, {qGreen(rgb), 0.7152}, {qBlue(rgb), 0.0722}}) {
        const double c = channel / 255.0;
        sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum + 0.05;
}

// The contrast ratio between the colour that most of area shows (what is behind the text) and
// the one that stands out most from it (the text's strokes): 1 when nothing stands out, 21 for
// black on white.
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

// What is wrong with each text: not inside its control's text area (by the font's advances, with
// a pixel for rounding, as a last letter's side bearing may pass the edge), or a contrast below
// 3.0, that of large text and of controls in common accessibility rules (the main window's light
// yellow on grey, its own design, stands at 3.8).
QStringList textFaults(QWidget& window) {
    const QImage shot = window.grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    QStringList faults;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(control);
        auto* button = qobject_cast<QPushButton*>(control);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || !control->isVisibleTo(&window))
            continue;
        const auto [room, flags] = textPlace(control);
        const QRect needed = control->fontMetrics().boundingRect(room, flags, text);
        const QRect area(control->mapTo(&window, needed.topLeft()) * ratio, needed.size() * ratio);
        if (!room.adjusted(-1, -1, 1, 1).contains(needed))
            faults << text + QStringLiteral(": does not fit");
        else if (const double contrast = contrastIn(shot, area & shot.rect()); contrast < 3.0)
            faults << text + QStringLiteral(": contrast %1").arg(contrast);
    }
    return faults;
}

QImage artwork(const QString& base, qreal ratio) {
    return QImage(base + (ratio > 1.0 ? "@2x.png" : ".png"))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void textFitsAndStandsOut_data() {
        QTest::addColumn<Window>("window");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<bool>("dark");
        for (const auto& [window, name] : {std::pair{Window::Main, "main window"},
                                           {Window::PrintSheet, "print sheet"},
                                           {Window::About, "About box"},
                                           {Window::Message, "message box"}})
            for (int pointSize : {11, 14})
                for (bool dark : {false, true})
                    QTest::addRow("%s, %d pt, %s", name, pointSize, dark ? "dark" : "light")
                        << window << pointSize << dark;
    }

    // Built under the desktop's font and colours, as a platform theme hands them to the program.
    void textFitsAndStandsOut() {
        QFETCH(Window, window);
        QFETCH(int, pointSize);
        QFETCH(bool, dark);
        const QFont desktopFont = QApplication::font();
        const QPalette desktopPalette = QApplication::palette();
        QApplication::setFont(QFont(desktopFont.family(), pointSize));
        QPalette darkPalette(QColor(53, 53, 53)); // window and buttons; texts become white
        darkPalette.setColor(QPalette::Base, QColor(35, 35, 35));
        if (dark)
            QApplication::setPalette(darkPalette);
        const std::unique_ptr<QWidget> shown = build(window);
        if (window != Window::PrintSheet) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        }
        const QStringList faults = textFaults(*shown);
        QApplication::setFont(desktopFont);
        QApplication::setPalette(desktopPalette);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // At a device pixel ratio of 2 (QT_SCALE_FACTOR=2) the screen shows the @2x artwork pixel
    // for pixel, elsewhere the 1x one; either fills its box exactly. The window icon holds both.
    void artIsTheOneForTheScreen() {
        for (const auto& [window, picture, art] : {std::tuple{Window::Main, "Picture1", ":/banner"},
                                                   {Window::About, "picIcon", ":/logo"}}) {
            const std::unique_ptr<QWidget> shown = build(window);
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
            auto* box = shown->findChild<QLabel*>(QLatin1String(picture));
            const qreal ratio = box->devicePixelRatio();
            const QRect inside = box->contentsRect();
            const QImage drawn =
                box->grab().toImage().copy(QRect(inside.topLeft() * ratio, inside.size() * ratio));
            QCOMPARE(drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     artwork(QLatin1String(art), ratio));
        }
        for (qreal ratio : {1.0, 2.0})
            QCOMPARE(Form1()
                         .windowIcon()
                         .pixmap(QSize(32, 32), ratio)
                         .toImage()
                         .convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     artwork(QStringLiteral(":/icon-32"), ratio));
    }

    // X11 gives the windows the application name as their class, Wayland the desktop file name as
    // their id; the installed menu entry must answer to both.
    void desktopEntryNamesTheApplication() {
        nameApplication();
        QFile entry(QStringLiteral(RIGTUNE_PACKAGING "/") + QGuiApplication::desktopFileName() +
                    ".desktop");
        QVERIFY2(entry.open(QIODevice::ReadOnly), qPrintable(entry.fileName()));
        const QString lines = QString::fromUtf8(entry.readAll());
        QVERIFY2(lines.contains("\nStartupWMClass=" + QCoreApplication::applicationName() + '\n'),
                 qPrintable(lines));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
