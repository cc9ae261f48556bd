// The About box as the user meets it: shown modal over the main window, loaded afresh each time,
// closed by Enter or Esc, and System Info either starting the program or saying it cannot.
#include "fakeplatform.h"
#include "form1.h"
#include "frmabout.h"
#include "messages.h"
#include "sysinfo.h"
#include "uitestutil.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using rigtune::frmAbout;

namespace {

QWidget* child(QWidget& box, const char* name) {
    QWidget* widget = box.findChild<QWidget*>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

QString labelText(QWidget& box, const char* name) {
    return static_cast<QLabel*>(child(box, name))->text();
}

// Runs check on the About box once it is shown modal, then closes it, so exec() never blocks. A
// box that never shows up fails the test, and whatever dialog is open instead is closed.
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

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT

private slots:
    // Help > About: modal, centred over the main window, and loaded afresh each time.
    void aboutShowsAFreshBoxOverTheMainWindow() {
        rigtune::Form1 window;
        window.move(300, 200); // room for the wider box on either side
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPointer<frmAbout> first;
        whenAboutBoxShown(&window, [&](frmAbout* box) {
            first = box;
            QVERIFY(box->isModal());
            QCOMPARE(box->parentWidget(), &window);
            const QPoint offset = box->geometry().center() - window.geometry().center();
            QVERIFY2(offset.manhattanLength() <= 2, "the box is not centred over its owner");
            static_cast<QLabel*>(child(*box, "lblVersion"))->setText(QStringLiteral("spoilt"));
            static_cast<QLabel*>(child(*box, "lblTitle"))->setText(QStringLiteral("spoilt"));
        });
        uitest::trigger(window, "mnuAbout");
        QVERIFY2(first.isNull(), "the box outlived its closing");

        QStringList labels;
        whenAboutBoxShown(&window, [&](frmAbout* box) {
            labels << labelText(*box, "lblVersion") << labelText(*box, "lblTitle");
        });
        uitest::trigger(window, "mnuAbout");
        QCOMPARE(labels, (QStringList{"Version 1.0.0", "Rigtune"}));
    }

    void keysCloseTheBox_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Return") << Qt::Key_Return;
        QTest::newRow("Enter") << Qt::Key_Enter;
        QTest::newRow("Escape") << Qt::Key_Escape;
    }
    void keysCloseTheBox() {
        QFETCH(Qt::Key, key);
        frmAbout box(nullptr);
        box.show();
        QApplication::setActiveWindow(&box);
        QVERIFY(QTest::qWaitForWindowActive(&box));
        // OK first, System Info second in the tab order.
        QCOMPARE(QApplication::focusWidget(), child(box, "cmdOK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child(box, "cmdSysInfo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), key);
        QVERIFY2(!box.isVisible(), "the box is still open");
    }

    // System Info starts what the registry names, or says it cannot; the box stays open.
    void sysInfo() {
        const QString program = QStringLiteral("C:\\Windows\\system32\\msinfo32.exe");
        for (bool registered : {true, false}) {
            FakePlatform platform;
            if (registered)
                platform.setValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                                  rigtune::RegSz, program.toLatin1() + '\0');
            platform.startable << program;
            uitest::MessageLog log;
            frmAbout box(nullptr, platform);
            box.show();
            QTest::mouseClick(static_cast<QPushButton*>(child(box, "cmdSysInfo")), Qt::LeftButton);
            QCOMPARE(platform.startAttempts, registered ? QStringList{program} : QStringList{});
            QCOMPARE(log.messages,
                     registered ? QStringList{}
                                : QStringList{"System Information Is Unavailable At This Time"});
            QVERIFY(box.isVisible());
        }
    }
};

QTEST_MAIN(TestFrmAbout)
#include "test_frmabout.moc"
