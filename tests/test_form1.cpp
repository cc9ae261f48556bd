// The main window and its commands, driven as a user drives them: menu commands, answered file
// dialogs, typed text. Failures are tested end to end in test_faults.
#include "form2.h"
#include "setupgrid.h"
#include "testutil.h"
#include "uitestutil.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

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
                const QRect a = box(grid, i)->geometry();
                const QRect b = box(grid, j)->geometry();
                QCOMPARE(Fields[i].row() < Fields[j].row(), a.top() < b.top());
                if (Fields[i].row() == Fields[j].row())
                    QCOMPARE(Fields[i].column() < Fields[j].column(), a.left() < b.left());
            }
    }

    // Each Open applies its file over the fields and takes a snapshot for the sheet; edits, saves
    // and a cancelled Open do not reach the sheet.
    void openAppliesOverTheFieldsAndRefreshesTheSheet() {
        Form1& w = e->window;
        const QString first = writeFile("first.str", golden("full.str"));
        const QString second = writeFile("second.str", "[left front tire]\r\n\r\ncamber = new\r\n");
        e->run("mnuImport", first);
        Form2& sheet = w.printLayout();
        for (std::size_t i = 0; i < FieldCount; ++i)
            QCOMPARE(sheet.value(i), w.value(i));
        QCOMPARE(w.value(37), QStringLiteral("sl 2.5"));
        QCOMPARE(sheet.path(), first);

        box(w, 0)->setText(QStringLiteral("  typed  "));
        e->run("mnuSave", e->dir.filePath(QStringLiteral("saved.str")));
        e->run("mnuImport", uitest::Cancel);
        QCOMPARE(sheet.value(0), QStringLiteral("tilf 4.5"));
        QCOMPARE(sheet.path(), first);
        QCOMPARE(w.file(), first);

        e->run("mnuImport", second);
        QCOMPARE(w.file(), second);
        QCOMPARE(w.value(4), QStringLiteral("new"));
        QCOMPARE(w.value(37), QStringLiteral("sl 2.5")); // the second file lacks it
        QCOMPARE(sheet.value(0), QStringLiteral("  typed  "));
        QCOMPARE(sheet.value(4), QStringLiteral("new"));
        QCOMPARE(sheet.path(), second);
        QVERIFY(!sheet.isVisible());
        QVERIFY(e->log.messages.isEmpty());
    }

    void saveWritesWhatTheBoxesHold() {
        const QString path = e->dir.filePath(QStringLiteral("typed"));
        QTest::keyClicks(box(e->window, 38), QStringLiteral(" 3 washers"));
        e->window.setValue(5, QString(40000, QLatin1Char('5')));
        e->run("mnuSave", path);
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.endsWith("washers per shoe =  3 washers\r\n\r\n"));
        QCOMPARE(bytes.size(), 745 + 10 + 40000);
        QVERIFY(e->window.file().isEmpty());
    }

    // The dialog starts from the name chosen last in either command; a cancel changes nothing.
    void dialogStartsFromTheLastChosenName() {
        const QString opened = writeFile("a.str", golden("full.str"));
        const QString saved = e->dir.filePath(QStringLiteral("b.str"));
        e->window.setValue(3, QStringLiteral("kept"));
        e->dialogs.answers = {uitest::Cancel, opened, uitest::Cancel, saved, uitest::Cancel};
        uitest::trigger(e->window, "mnuImport");
        QCOMPARE(e->window.value(3), QStringLiteral("kept"));
        for (const char* command : {"mnuImport", "mnuSave", "mnuSave", "mnuImport"})
            uitest::trigger(e->window, command);
        QCOMPARE(e->dialogs.startNames, (QStringList{{}, {}, opened, opened, saved}));
        QCOMPARE(e->window.file(), opened);
        QCOMPARE(readBytes(saved), golden("full.str"));
    }

    // Neither dialog adds an extension or asks about replacing a file, and the open dialog takes
    // a name that does not exist, so each command sees exactly the name typed.
    void qtDialogIsSetUpAsTheCommandsNeed() {
        for (CommonDialog::Mode mode : {CommonDialog::Mode::Open, CommonDialog::Mode::Save}) {
            QFileDialog dialog;
            dialog.setDefaultSuffix(QStringLiteral("str"));
            CommonDialog::prepare(dialog, mode, QStringLiteral("/tmp/last.str"));
            QCOMPARE(dialog.acceptMode() == QFileDialog::AcceptOpen,
                     mode == CommonDialog::Mode::Open);
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

private:
    QString writeFile(const char* name, const QByteArray& bytes) {
        const QString path = e->dir.filePath(QLatin1String(name));
        testutil::writeBytes(path, bytes);
        return path;
    }

    std::optional<uitest::Editor> e;
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
