// The windows as players' desktops show them: a larger desktop font, a dark colour scheme, a
// dense screen. Every text fits its control and stands out from what is drawn behind it, the art
// is the sharp one the screen needs, long values can be read, and the desktop knows the program.
#include "fileerrors.h"
#include "form1.h"
#include "form2.h"
#include "frmabout.h"
#include "messages.h"
#include "uitestutil.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <cmath>
#include <memory>

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
        return makeMessageBox(nullptr,
                              cannotSaveMessage(QStringLiteral("/home/player/Gravlund/setups/"
                                                               "gravel rally, second try.str"),
                                                QStringLiteral("the file is read-only.")));
    }
    return nullptr;
}

QPalette darkPalette() {
    QPalette dark(QColor(53, 53, 53)); // window and buttons; texts become white
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    return dark;
}

// Where a control draws its text, and how.
struct TextPlace {
    QRect rect;
    int flags;
};

TextPlace textPlace(const QLabel& label) {
    const int margin = label.margin();
    return {label.contentsRect().adjusted(margin, margin, -margin, -margin),
            int(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0)};
}

TextPlace textPlace(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (button.isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return {button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button),
            Qt::AlignCenter | Qt::TextShowMnemonic};
}

double luminance(QRgb rgb) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

// The contrast ratio between the colour that most of area shows (what is behind the text) and
// the one that stands out most from it (the text's strokes): 1 when nothing stands out, 21 for
// black on white.
double contrastIn(const QImage& shot, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[shot.pixel(x, y)];
    QRgb back = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(back))
            back = it.key();
    const double behind = luminance(back) + 0.05;
    double best = 1;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it) {
        const double stroke = luminance(*it) + 0.05;
        best = std::max(best, std::max(stroke, behind) / std::min(stroke, behind));
    }
    return best;
}

// Text must reach at least the contrast of large text and of controls in common accessibility
// rules; the main window's light yellow on grey, its own design, stands at 3.8.
constexpr double LeastContrast = 3.0;

// The device pixels that the text's strokes cover when drawn in place as the control draws it,
// but unclipped. Strokes, not advances: the last letter's side bearing may pass the edge.
QRect inkOf(const QWidget& control, const TextPlace& place, const QString& text) {
    const QRect canvas = QFontMetrics(control.font())
                             .boundingRect(place.rect, place.flags, text)
                             .united(place.rect)
                             .adjusted(-4, -4, 4, 4);
    const qreal ratio = control.devicePixelRatio();
    QImage image(canvas.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(control.font());
    painter.translate(-canvas.topLeft());
    painter.drawText(place.rect, place.flags | Qt::TextDontClip, text);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                ink |= QRect(x, y, 1, 1);
    return ink.translated(canvas.topLeft() * ratio);
}

// What is wrong with the text of one control, empty when nothing is.
QString textFault(QWidget& window, const QImage& shot, QWidget& control, const QString& text,
                  const TextPlace& place) {
    const QString name = control.objectName().isEmpty() ? text : control.objectName();
    const qreal ratio = control.devicePixelRatio();
    const QRect room(place.rect.topLeft() * ratio, place.rect.size() * ratio);
    const QRect ink = inkOf(control, place, text);
    if (!room.contains(ink))
        return name + QStringLiteral(": the text does not fit");
    const QRect onShot = ink.translated(control.mapTo(&window, QPoint()) * ratio);
    const double contrast = contrastIn(shot, onShot & shot.rect());
    if (contrast < LeastContrast)
        return QStringLiteral("%1: contrast %2 against what is behind").arg(name).arg(contrast);
    return {};
}

QStringList textFaults(QWidget& window) {
    const QImage shot = window.grab().toImage();
    QStringList faults;
    const auto note = [&faults](const QString& fault) {
        if (!fault.isEmpty())
            faults << fault;
    };
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisibleTo(&window) && !label->text().isEmpty())
            note(textFault(window, shot, *label, label->text(), textPlace(*label)));
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->isVisibleTo(&window))
            note(textFault(window, shot, *button, button->text(), textPlace(*button)));
    return faults;
}

QPixmap artworkFor(const QString& base, qreal ratio) {
    return QPixmap(base + (ratio > 1.0 ? QLatin1String("@2x.png") : QLatin1String(".png")));
}

// Transparent pixels compare equal whatever colour they hold.
QImage comparable(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        desktopFont = QApplication::font();
        desktopPalette = QApplication::palette();
    }
    void cleanup() {
        QApplication::setFont(desktopFont);
        QApplication::setPalette(desktopPalette);
    }

    void textFitsAndStandsOut_data() {
        QTest::addColumn<Window>("window");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<bool>("dark");
        const std::pair<Window, const char*> windows[] = {{Window::Main, "main window"},
                                                          {Window::PrintSheet, "print sheet"},
                                                          {Window::About, "About box"},
                                                          {Window::Message, "message box"}};
        for (const auto& [window, name] : windows)
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
        QApplication::setFont(QFont(desktopFont.family(), pointSize));
        if (dark)
            QApplication::setPalette(darkPalette());
        const std::unique_ptr<QWidget> shown = build(window);
        if (window != Window::PrintSheet) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        }
        const QStringList faults = textFaults(*shown);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The tire sizes of the example are longer than their boxes.
    void openShowsEachValueFromItsStart() {
        uitest::DialogScript dialogs;
        Form1 window;
        dialogs.answers = {QStringLiteral(RIGTUNE_EXAMPLES "/gravel-rally.str")};
        uitest::trigger(window, "mnuImport");
        QCOMPARE(window.value(static_cast<std::size_t>(fieldIndex("TSLF"))),
                 QStringLiteral("205/65 R15"));
        for (QLineEdit* box : window.findChildren<QLineEdit*>()) {
            QCOMPARE(box->cursorPosition(), 0);
            QVERIFY2(box->toolTip().contains(box->accessibleName()) &&
                         box->toolTip().contains(box->text()),
                     qPrintable(box->toolTip()));
        }
        QLineEdit* typedIn = window.findChild<QLineEdit*>(QStringLiteral("WR"));
        QTest::keyClicks(typedIn, QStringLiteral(" and 2 spare"));
        QVERIFY2(typedIn->toolTip().endsWith(typedIn->text()), qPrintable(typedIn->toolTip()));
    }

    void artIsTheOneForTheScreen_data() {
        QTest::addColumn<Window>("window");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("artwork");
        QTest::newRow("banner") << Window::Main << "Picture1"
                                << ":/banner";
        QTest::newRow("About logo") << Window::About << "picIcon"
                                    << ":/logo";
    }

    // At a device pixel ratio of 2 (QT_SCALE_FACTOR=2) the screen shows the @2x artwork pixel
    // for pixel, elsewhere the 1x one; either fills its box exactly. The window icon holds both.
    void artIsTheOneForTheScreen() {
        QFETCH(Window, window);
        QFETCH(QString, picture);
        QFETCH(QString, artwork);
        const std::unique_ptr<QWidget> shown = build(window);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        auto* box = shown->findChild<QLabel*>(picture);
        const qreal ratio = box->devicePixelRatio();
        const QRect inside = box->contentsRect();
        QCOMPARE(
            comparable(box->grab().copy(QRect(inside.topLeft() * ratio, inside.size() * ratio))),
            comparable(artworkFor(artwork, ratio)));
        for (qreal r : {1.0, 2.0})
            QCOMPARE(comparable(Form1().windowIcon().pixmap(QSize(32, 32), r)),
                     comparable(artworkFor(QStringLiteral(":/icon-32"), r)));
    }

    // X11 gives the windows the application name as their class, Wayland the desktop file name as
    // their id; the installed menu entry must answer to both.
    void desktopEntryNamesTheApplication() {
        nameApplication();
        const QDir packaging(QStringLiteral(RIGTUNE_PACKAGING));
        const QStringList entries = packaging.entryList({QStringLiteral("*.desktop")});
        QCOMPARE(entries, QStringList{QGuiApplication::desktopFileName() + ".desktop"});
        QFile entry(packaging.filePath(entries[0]));
        QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
        QVERIFY2(lines.contains("StartupWMClass=" + QCoreApplication::applicationName()),
                 qPrintable(lines.join(QLatin1Char('\n'))));
    }

private:
    QFont desktopFont;
    QPalette desktopPalette;
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
