#include "fakeplatform.h"
#include "form1.h"
#include "frmabout.h"
#include "messages.h"
#include "sysinfo.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using rigtune::frmAbout;

namespace {

template <typename T> T* child(QWidget& box, const QString& name) {
    T* widget = box.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

QString textOf(QWidget& box, const QString& name) {
    if (auto* button = box.findChild<QPushButton*>(name))
        return button->text();
    return child<QLabel>(box, name)->text();
}

QColor fillOf(QWidget& box, const QString& name) {
    return child<QWidget>(box, name)->palette().color(QPalette::Window);
}

// Runs check on the About box once it is shown modal, then closes it, so exec() never blocks. A
// box that never shows up fails the test, and whatever dialog is open instead is closed. The
// watch ends with context at the latest.
void whenAboutBoxShown(QObject* context, const std::function<void(frmAbout*)>& check) {
    auto* poll = new QTimer(context);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, check, ticks] {
        auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        if (!box && ++*ticks < 500)
            return;
        poll->stop();
        poll->deleteLater();
        if (!box) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            QFAIL("no modal About box appeared");
        }
        check(box);
        box->reject();
    });
    poll->start(10);
}

bool showActive(QWidget& box) {
    box.show();
    QApplication::setActiveWindow(&box);
    return QTest::qWaitForWindowActive(&box);
}

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { rigtune::setMessageHook({}); }

    void texts_data();
    void texts();
    void creditAndContactNameNoRealPerson();
    void geometry_data();
    void geometry();
    void fixedDialogFrame();
    void logoInSunkenGreyFrame();
    void etchedLine();
    void keysClose_data();
    void keysClose();
    void tabOrder();
    void sysInfoFailureKeepsBoxOpen();
    void sysInfoStartsProgram();
    void showAboutBoxModalCentredAndFresh();
    void mnuAboutShowsTheBoxOverTheMainWindow();
};

void TestFrmAbout::texts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("title") << "lblTitle"
                           << "Rigtune";
    QTest::newRow("version") << "lblVersion" << QStringLiteral("Version " RIGTUNE_PROJECT_VERSION);
    QTest::newRow("description")
        << "lblDescription"
        << QStringLiteral("Rigtune allow you to view and modify your Gravllnd settings on a single "
                          "window instead of going trough the menus of Gravlund.") +
               QString(57, QLatin1Char(' '));
    QTest::newRow("OK") << "cmdOK"
                        << "OK";
    QTest::newRow("System Info") << "cmdSysInfo"
                                 << "&System Info...";
}

void TestFrmAbout::texts() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    frmAbout box(nullptr);
    QCOMPARE(box.windowTitle(), QStringLiteral("About Rigtnue 1.0"));
    QCOMPARE(textOf(box, name), expected);
}

void TestFrmAbout::creditAndContactNameNoRealPerson() {
    frmAbout box(nullptr);
    const QString credit = textOf(box, "Label1");
    QVERIFY2(credit.startsWith(QStringLiteral("Made by \nthe Rigtune developers ")),
             qPrintable(credit));
    QVERIFY2(!credit.contains(QLatin1Char('\r')), "a carriage return draws as a blank");
    QVERIFY2(credit.endsWith(QStringLiteral("example.org")), qPrintable(credit));

    const QString contact = textOf(box, "lblDisclaimer");
    QVERIFY2(contact.startsWith(QStringLiteral("If you have any comments to make about this "
                                               "program or just find it useful email me at ")),
             qPrintable(contact));
    QVERIFY2(contact.contains(QRegularExpression(QStringLiteral("at \\S+@example\\.org :\\) \\S"))),
             qPrintable(contact));
}

void TestFrmAbout::geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("picIcon") << "picIcon" << QRect(120, 120, 1290, 495);
    QTest::newRow("cmdOK") << "cmdOK" << QRect(4245, 2625, 1467, 345);
    QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(4260, 3075, 1452, 345);
    QTest::newRow("Label1") << "Label1" << QRect(1080, 1920, 4095, 450);
    QTest::newRow("lblDescription") << "lblDescription" << QRect(1080, 1080, 4095, 690);
    QTest::newRow("lblTitle") << "lblTitle" << QRect(1680, 240, 1095, 480);
    QTest::newRow("lblVersion") << "lblVersion" << QRect(2760, 240, 1215, 225);
    QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(240, 2625, 3870, 825);
}

void TestFrmAbout::geometry() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    frmAbout box(nullptr);
    QCOMPARE(child<QWidget>(box, name)->geometry(),
             rigtune::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
}

void TestFrmAbout::fixedDialogFrame() {
    frmAbout box(nullptr);
    QCOMPARE(box.size(), rigtune::twipsSize(5865, 3555));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void TestFrmAbout::logoInSunkenGreyFrame() {
    frmAbout box(nullptr);
    auto* picture = child<QLabel>(box, "picIcon");
    const QPixmap logo = picture->pixmap();
    QCOMPARE(logo.size(), QSize(82, 29));
    QCOMPARE(picture->frameWidth(), 2);
    QCOMPARE(picture->frameShadow(), QFrame::Sunken);
    QCOMPARE(picture->size(), logo.size() + QSize(4, 4));
    QCOMPARE(fillOf(box, "picIcon"), QColor(192, 192, 192));
}

// Grey at the top, white just below: an etched separator across the box.
void TestFrmAbout::etchedLine() {
    frmAbout box(nullptr);
    QCOMPARE(fillOf(box, "Line1_1"), QColor(128, 128, 128));
    QCOMPARE(child<QWidget>(box, "Line1_1")->geometry(), QRect(15, 162, 363, 1));
    QCOMPARE(fillOf(box, "Line1_0"), QColor(Qt::white));
    QCOMPARE(child<QWidget>(box, "Line1_0")->geometry(), QRect(16, 163, 362, 2));
}

void TestFrmAbout::keysClose_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Enter") << Qt::Key_Enter;
    QTest::newRow("Escape") << Qt::Key_Escape;
}

void TestFrmAbout::keysClose() {
    QFETCH(Qt::Key, key);
    frmAbout box(nullptr);
    QVERIFY(showActive(box));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(box, "cmdOK"));
    QTest::keyClick(QApplication::focusWidget(), key);
    QVERIFY2(!box.isVisible(), "the box is still open");
}

void TestFrmAbout::tabOrder() {
    frmAbout box(nullptr);
    QVERIFY(showActive(box));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(box, "cmdOK"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(box, "cmdSysInfo"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(box, "cmdOK"));
}

void TestFrmAbout::sysInfoFailureKeepsBoxOpen() {
    QStringList messages;
    rigtune::setMessageHook([&messages](const QString& text) { messages << text; });
    FakePlatform platform; // an empty registry
    frmAbout box(nullptr, platform);
    box.show();
    QTest::mouseClick(child<QPushButton>(box, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages, QStringList{rigtune::SysInfoUnavailable});
    QVERIFY(box.isVisible());
}

void TestFrmAbout::sysInfoStartsProgram() {
    rigtune::setMessageHook([](const QString& text) { QFAIL(qPrintable(text)); });
    const QString program = QStringLiteral("C:\\Windows\\system32\\msinfo32.exe");
    FakePlatform platform;
    platform.setValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", rigtune::RegSz,
                      program.toLatin1() + '\0');
    platform.startable << program;
    frmAbout box(nullptr, platform);
    box.show();
    QTest::mouseClick(child<QPushButton>(box, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(platform.started, QStringList{program});
    QVERIFY(box.isVisible());
}

void TestFrmAbout::showAboutBoxModalCentredAndFresh() {
    QWidget owner;
    owner.setGeometry(100, 80, 600, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    QPointer<frmAbout> first;
    whenAboutBoxShown(&owner, [&](frmAbout* box) {
        first = box;
        QVERIFY(box->isModal());
        QCOMPARE(box->parentWidget(), &owner);
        const QPoint offset = box->geometry().center() - owner.geometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, "the box is not centred over its owner");
        child<QLabel>(*box, "lblVersion")->setText(QStringLiteral("spoilt"));
        child<QLabel>(*box, "lblTitle")->setText(QStringLiteral("spoilt"));
    });
    rigtune::showAboutBox(&owner);
    QVERIFY2(first.isNull(), "the box outlived its closing");

    QString version;
    QString title;
    whenAboutBoxShown(&owner, [&](frmAbout* box) {
        version = textOf(*box, "lblVersion");
        title = textOf(*box, "lblTitle");
    });
    rigtune::showAboutBox(&owner);
    QCOMPARE(version, QStringLiteral("Version " RIGTUNE_PROJECT_VERSION));
    QCOMPARE(title, QStringLiteral("Rigtune"));
}

void TestFrmAbout::mnuAboutShowsTheBoxOverTheMainWindow() {
    rigtune::Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget* owner = nullptr;
    whenAboutBoxShown(&window, [&](frmAbout* box) {
        QVERIFY(box->isModal());
        owner = box->parentWidget();
    });
    auto* action = window.findChild<QAction*>(QStringLiteral("mnuAbout"));
    QVERIFY(action);
    action->trigger();
    QCOMPARE(owner, &window);
}

QTEST_MAIN(TestFrmAbout)
#include "test_frmabout.moc"
