// The main window and its About box, driven as a user drives them: menu commands, answered file
// dialogs, typed text and keys. Failures are tested end to end in test_faults.
#include "fakeplatform.h"
#include "form2.h"
#include "frmabout.h"
#include "testutil.h"
#include "uitestutil.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace rigtune;
using testutil::golden;
using testutil::readBytes;

namespace {

QLineEdit* box(QWidget& window, std::size_t field) {
    return window.findChild<QLineEdit*>(latin(Fields[field].code()));
}

// Where a control draws: a label as far as its text reaches, anything else whole.
QRect drawnRect(QWidget* control) {
    auto* label = qobject_cast<QLabel*>(control);
    if (!label)
        return control->geometry();
    const int width = label->fontMetrics().horizontalAdvance(label->text());
    return QRect(label->pos(), QSize(width, label->height())).intersected(label->geometry());
}

// Runs check on the modal box that the next command shows, then closes it, so exec() never
// blocks; returns how many boxes were checked.
std::shared_ptr<int> whenModal(const std::function<void(frmAbout&)>& check) {
    auto checked = std::make_shared<int>(0);
    QTimer::singleShot(0, [check, checked] {
        if (auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget())) {
            check(*about);
            ++*checked;
            about->reject();
        }
    });
    return checked;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init() { e.emplace(); }
    void cleanup() { e.reset(); }

    void startsEmptyAndTabsThroughTheBoxesInFieldOrder() {
        e->window.show();
        QVERIFY(QTest::qWaitForWindowActive(&e->window));
        QCOMPARE(e->window.centralWidget()->size(), QSize(333, 442));
        for (std::size_t i = 0; i < FieldCount; ++i) {
            QCOMPARE(QApplication::focusWidget(), box(e->window, i));
            QVERIFY(e->window.value(i).isEmpty());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    // Both grids: every box where its row and column put it, nothing outside its container and
    // nothing drawn over anything else.
    void gridsAreLaidOutInRowsAndColumns_data() {
        QTest::addColumn<bool>("sheet");
        QTest::newRow("main window") << false;
        QTest::newRow("print sheet") << true;
    }
    void gridsAreLaidOutInRowsAndColumns() {
        QFETCH(bool, sheet);
        QWidget& grid = sheet ? static_cast<QWidget&>(e->window.printLayout())
                              : *e->window.findChild<QWidget*>(QStringLiteral("Frame1"));
        QCOMPARE(grid.size(), sheet ? QSize(651, 385) : QSize(305, 297));
        const QList<QWidget*> controls = grid.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), sheet ? 58 : 56);
        for (QWidget* a : controls) {
            QVERIFY2(grid.rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget* b : controls)
                QVERIFY2(a == b || !drawnRect(a).intersects(drawnRect(b)),
                         qPrintable(a->objectName() + " overlaps " + b->objectName()));
        }
        for (std::size_t i = 0; i < FieldCount; ++i)
            for (std::size_t j = 0; j < FieldCount; ++j) {
                const QRect a = box(grid, i)->geometry(), b = box(grid, j)->geometry();
                QCOMPARE(Fields[i].row() < Fields[j].row(), a.top() < b.top());
                if (Fields[i].row() == Fields[j].row())
                    QCOMPARE(Fields[i].column() < Fields[j].column(), a.left() < b.left());
            }
    }

    // Each Open applies its file over the fields and takes a snapshot for the sheet; edits, saves
    // and a cancelled Open do not reach the sheet. The dialog starts from the name chosen last.
    void openAppliesOverTheFieldsAndRefreshesTheSheet() {
        Form1& w = e->window;
        const QString first = e->dir.filePath(QStringLiteral("first.str"));
        const QString second = e->dir.filePath(QStringLiteral("second.str"));
        const QString saved = e->dir.filePath(QStringLiteral("saved.str"));
        QVERIFY(testutil::writeBytes(first, golden("full.str")));
        QVERIFY(testutil::writeBytes(second, "[left front tire]\r\n\r\ncamber = new\r\n"));
        e->run("mnuImport", first);
        QCOMPARE(w.value(37), QStringLiteral("sl 2.5"));
        QTest::keyClick(box(w, 0), Qt::Key_End);
        QTest::keyClicks(box(w, 0), QStringLiteral(" typed"));
        e->run("mnuSave", saved);
        e->run("mnuImport", uitest::Cancel);
        QCOMPARE(w.printLayout().value(0), QStringLiteral("tilf 4.5"));
        QCOMPARE(w.printLayout().path(), first);

        e->run("mnuImport", second);
        QCOMPARE(w.value(4), QStringLiteral("new"));
        QCOMPARE(w.value(37), QStringLiteral("sl 2.5")); // the second file lacks it
        QCOMPARE(w.file(), second);
        for (std::size_t i = 0; i < FieldCount; ++i)
            QCOMPARE(w.printLayout().value(i), w.value(i));
        QCOMPARE(w.printLayout().path(), second);
        QVERIFY(!w.printLayout().isVisible());
        QVERIFY(readBytes(saved).contains("\r\ntoe in = tilf 4.5 typed\r\n"));
        QCOMPARE(e->dialogs.startNames, (QStringList{{}, first, saved, saved}));
        QVERIFY(e->log.messages.isEmpty());
    }

    void saveWritesAllABoxHolds() {
        const QString path = e->dir.filePath(QStringLiteral("long"));
        e->window.setValue(5, QString(40000, QLatin1Char('5')));
        e->run("mnuSave", path);
        QCOMPARE(readBytes(path).size(), 745 + 40000);
        QVERIFY(e->window.file().isEmpty());
    }

    // Neither dialog adds an extension or asks about replacing a file, and the open dialog takes
    // a name that does not exist, so each command sees exactly the name typed.
    void qtDialogIsSetUpAsTheCommandsNeed() {
        for (CommonDialog::Mode mode : {CommonDialog::Mode::Open, CommonDialog::Mode::Save}) {
            QFileDialog dialog;
            dialog.setDefaultSuffix(QStringLiteral("str"));
            CommonDialog::prepare(dialog, mode, QStringLiteral("/tmp/last.str"));
            QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
            QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
            QVERIFY(dialog.defaultSuffix().isEmpty());
            QCOMPARE(dialog.nameFilters(), QStringList{"Setup Files (*.str)"});
        }
    }

    void quitClosesTheWindow() {
        e->window.show();
        uitest::trigger(e->window, "mnuQuit");
        QVERIFY(!e->window.isVisible());
    }

    // Help > About: modal, centred over the main window, loaded afresh each time.
    void aboutShowsAFreshBoxOverTheMainWindow() {
        e->window.move(300, 200); // room for the wider box on either side
        e->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e->window));
        for (int time = 0; time < 2; ++time) {
            const auto checked = whenModal([this](frmAbout& about) {
                QCOMPARE(about.parentWidget(), &e->window);
                const QPoint off = about.geometry().center() - e->window.geometry().center();
                QVERIFY2(off.manhattanLength() <= 2, "the box is not centred over its owner");
                for (const char* name : {"lblVersion", "lblTitle"}) {
                    auto* label = about.findChild<QLabel*>(QLatin1String(name));
                    QCOMPARE(label->text(), name[3] == 'V' ? "Version 1.0.0" : "Rigtune");
                    label->setText(QStringLiteral("spoilt"));
                }
            });
            uitest::trigger(e->window, "mnuAbout");
            QCOMPARE(*checked, 1);
        }
    }

    void keysCloseTheAboutBox_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Return") << Qt::Key_Return;
        QTest::newRow("Enter") << Qt::Key_Enter;
        QTest::newRow("Escape") << Qt::Key_Escape;
    }
    void keysCloseTheAboutBox() {
        QFETCH(Qt::Key, key);
        frmAbout about(nullptr);
        about.show();
        QApplication::setActiveWindow(&about);
        QVERIFY(QTest::qWaitForWindowActive(&about));
        for (const char* button : {"cmdOK", "cmdSysInfo"}) { // in this tab order
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(button));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), key);
        QVERIFY2(!about.isVisible(), "the box is still open");
    }

    // System Info starts what the registry names, or says it cannot; the box stays open.
    void sysInfo() {
        const QString program = QStringLiteral("C:\\Windows\\system32\\msinfo32.exe");
        for (bool registered : {true, false}) {
            FakePlatform platform;
            if (registered)
                platform.setValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", RegSz,
                                  program.toLatin1() + '\0');
            platform.startable << program;
            e->log.messages.clear();
            frmAbout about(nullptr, platform);
            about.show();
            QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                              Qt::LeftButton);
            QCOMPARE(platform.startAttempts, registered ? QStringList{program} : QStringList{});
            QCOMPARE(e->log.messages,
                     registered ? QStringList{}
                                : QStringList{"System Information Is Unavailable At This Time"});
            QVERIFY(about.isVisible());
        }
    }

private:
    std::optional<uitest::Editor> e;
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
