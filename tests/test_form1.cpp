#include "form1.h"
#include "form2.h"
#include "setupgrid.h"
#include "testutil.h"
#include "twips.h"
#include "uitestutil.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace rigtune;
using testutil::golden;
using testutil::readBytes;
using uitest::trigger;

namespace {

QString code(std::size_t field) {
    return latin(Fields[field].code());
}

QLineEdit* box(QWidget& window, std::size_t field) {
    return window.findChild<QLineEdit*>(code(field));
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir.emplace();
        window.emplace();
        dialogs.emplace();
        log.emplace();
    }
    void cleanup() {
        log.reset();
        dialogs.reset();
        window.reset();
        dir.reset();
    }

    void startsEmptyWithFocusInToeIn() {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(&*window));
        QCOMPARE(QApplication::focusWidget(), box(*window, 0));
        QCOMPARE(window->windowTitle(), QStringLiteral("Gravlund Setup Editor"));
        QCOMPARE(window->centralWidget()->size(), QSize(333, 442));
        for (std::size_t i = 0; i < FieldCount; ++i)
            QVERIFY(window->value(i).isEmpty());
        QVERIFY(window->file().isEmpty());
    }

    void tabVisitsTheBoxesInFieldOrder() {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(&*window));
        for (std::size_t i = 1; i < FieldCount; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), box(*window, i));
        }
    }

    // Positions in twips as the layout gives them: the wheel columns and the first row top are
    // the window's own, rows and labels come from the field table.
    void gridGeometry() {
        const std::array<int, 4> columns{1560, 2280, 3120, 3840};
        for (std::size_t i = 0; i < FieldCount; ++i) {
            const Field& f = Fields[i];
            QLineEdit* b = box(*window, i);
            QVERIFY2(b, qPrintable(code(i)));
            QCOMPARE(b->geometry(), twipsRect(columns[static_cast<std::size_t>(f.column())],
                                              480 + 360 * f.row(), 615, 285));
            QCOMPARE(b->parentWidget()->objectName(), QStringLiteral("Frame1"));
            QCOMPARE(b->accessibleName(), fieldDisplayName(i));
            QCOMPARE(b->alignment(), Qt::AlignCenter);
            QVERIFY(b->maxLength() > 40000);
        }
        for (const Setting& s : Settings) {
            auto* label = window->findChild<QLabel*>(latin(s.labelName));
            QVERIFY(label);
            QCOMPARE(label->text(), latin(s.rowLabel));
            const int left = latin(s.code) == QLatin1String("SL") ? 2640 : 120;
            QCOMPARE(label->geometry(), twipsRect(left, 480 + 360 * s.row, s.labelWidth, 255));
            QVERIFY(!label->font().bold());
        }
        const std::array<int, 4> headings{1800, 2400, 3240, 3960};
        for (std::size_t w = 0; w < WheelCount; ++w) {
            auto* heading = window->findChild<QLabel*>(QStringLiteral("Label%1").arg(w + 2));
            QCOMPARE(heading->text(), latin(Wheels[w].mainColumnLabel));
            QCOMPARE(heading->geometry(), twipsRect(headings[w], 120, 375, 255));
            QVERIFY(heading->font().bold());
        }
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("Frame1"))->geometry(),
                 twipsRect(120, 1920, 4575, 4455));
        QCOMPARE(window->findChild<QWidget*>(QStringLiteral("Picture1"))->geometry(),
                 twipsRect(120, 0, 4335, 1695));
    }

    void nothingMovesOnResize() {
        window->show();
        const QRect before = box(*window, 38)->geometry();
        window->resize(800, 900);
        QCoreApplication::processEvents();
        QCOMPARE(box(*window, 38)->geometry(), before);
    }

    void menu() {
        const QList<std::pair<const char*, QString>> items{{"mnuImport", "&Open"},
                                                           {"mnuSave", "&Save as..."},
                                                           {"mnuPrint", "&Print"},
                                                           {"mnuQuit", "&Quit"},
                                                           {"mnuAbout", "About Rigtune"}};
        for (const auto& [name, text] : items) {
            QAction* action = window->findChild<QAction*>(QLatin1String(name));
            QVERIFY2(action, name);
            QCOMPARE(action->text(), text);
            QVERIFY(action->shortcut().isEmpty() && action->isEnabled() && action->isVisible());
        }
        QCOMPARE(window->findChild<QMenu*>(QStringLiteral("mnuFile"))->title(),
                 QStringLiteral("&File"));
        QCOMPARE(window->findChild<QMenu*>(QStringLiteral("mnuHelp"))->title(),
                 QStringLiteral("&Help"));
    }

    void openAppliesOverCurrentValues() {
        const QString first = writeFile("first.str", golden("full.str"));
        const QString second =
            writeFile("second.str", "[left front tire]\r\n\r\ncamber = changed\r\n");
        dialogs->answers = {first, second};
        trigger(*window, "mnuImport");
        QCOMPARE(window->value(37), QStringLiteral("sl 2.5"));
        box(*window, 0)->setText(QStringLiteral("typed"));
        trigger(*window, "mnuImport");
        QCOMPARE(window->file(), second);
        QCOMPARE(window->value(static_cast<std::size_t>(fieldIndex("CLF"))),
                 QStringLiteral("changed"));
        QCOMPARE(window->value(0), QStringLiteral("typed")); // the second file lacks it
        QCOMPARE(window->value(37), QStringLiteral("sl 2.5"));
        QVERIFY(log->messages.isEmpty());
    }

    void saveWritesWhatTheBoxesHold() {
        const QString path = dir->filePath(QStringLiteral("typed"));
        dialogs->answers = {path};
        QTest::keyClicks(box(*window, 38), QStringLiteral(" 3 washers"));
        trigger(*window, "mnuSave");
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.endsWith("washers per shoe =  3 washers\r\n\r\n"));
        QCOMPARE(bytes.size(), 745 + 10);
        QVERIFY(window->file().isEmpty()); // Save as does not change it
    }

    void longValueIsSavedWhole() {
        const QString path = dir->filePath(QStringLiteral("long.str"));
        dialogs->answers = {path};
        window->setValue(5, QString(40000, QLatin1Char('5')));
        trigger(*window, "mnuSave");
        QCOMPARE(readBytes(path).size(), 745 + 40000);
    }

    void dialogStartsFromTheLastChosenName() {
        const QString opened = writeFile("a.str", golden("full.str"));
        const QString saved = dir->filePath(QStringLiteral("b.str"));
        dialogs->answers = {uitest::Cancel, opened, uitest::Cancel, saved, uitest::Cancel};
        trigger(*window, "mnuImport"); // cancelled before any choice
        trigger(*window, "mnuImport");
        trigger(*window, "mnuSave"); // cancelled: nothing written
        QVERIFY(!QFileInfo::exists(saved));
        trigger(*window, "mnuSave");
        trigger(*window, "mnuImport"); // cancelled after a save
        QCOMPARE(dialogs->startNames, (QStringList{QString(), QString(), opened, opened, saved}));
        QCOMPARE(window->file(), opened);
        QCOMPARE(window->dialog().filter(), QStringLiteral("Setup Files (*.str)|*.str"));
    }

    void cancelledOpenChangesNothing() {
        window->setValue(3, QStringLiteral("kept"));
        dialogs->answers = {uitest::Cancel};
        trigger(*window, "mnuImport");
        QCOMPARE(window->value(3), QStringLiteral("kept"));
        QVERIFY(window->file().isEmpty());
        QVERIFY(log->messages.isEmpty());
    }

    void failedOpenKeepsTheFields() {
        const QString opened = writeFile("opened.str", golden("full.str"));
        const QString missing = dir->filePath(QStringLiteral("missing.str"));
        dialogs->answers = {opened, missing};
        trigger(*window, "mnuImport");
        window->setValue(3, QStringLiteral("kept"));
        trigger(*window, "mnuImport");
        QCOMPARE(window->printLayout().path(), opened); // the sheet is not refreshed
        QCOMPARE(window->printLayout().value(3), QStringLiteral("tirr 4.5"));
        QCOMPARE(window->value(3), QStringLiteral("kept"));
        QCOMPARE(log->messages.size(), 1);
        QVERIFY2(log->messages[0].contains(QDir::toNativeSeparators(missing)),
                 qPrintable(log->messages[0]));
        QCOMPARE(window->file(), missing);
    }

    // The sheet is a snapshot of the last Open: later edits and saves do not reach it.
    void printLayoutRefreshesOnlyOnOpen() {
        const QString opened = writeFile("sheet.str", golden("full.str"));
        dialogs->answers = {opened, dir->filePath(QStringLiteral("saved.str")), uitest::Cancel};
        trigger(*window, "mnuImport");
        Form2& sheet = window->printLayout();
        QCOMPARE(sheet.path(), opened);
        for (std::size_t i = 0; i < FieldCount; ++i)
            QCOMPARE(sheet.value(i), window->value(i));
        window->setValue(0, QStringLiteral("edited"));
        trigger(*window, "mnuSave");
        trigger(*window, "mnuImport"); // cancelled
        QCOMPARE(sheet.value(0), QStringLiteral("tilf 4.5"));
        QCOMPARE(sheet.path(), opened);
        QVERIFY(!sheet.isVisible());
    }

    void secondOpenOverwritesTheWholeSheet() {
        const QString first = writeFile("one.str", golden("full.str"));
        const QString second = writeFile("two.str", "[other]\r\n\r\nsteering lock = 9\r\n");
        dialogs->answers = {first, second};
        trigger(*window, "mnuImport");
        window->setValue(0, QStringLiteral("  edited  "));
        trigger(*window, "mnuImport");
        QCOMPARE(window->printLayout().value(0), QStringLiteral("  edited  "));
        QCOMPARE(window->printLayout().value(37), QStringLiteral("9"));
        QCOMPARE(window->printLayout().path(), second);
    }

    void sheetGeometry() {
        Form2& sheet = window->printLayout();
        QCOMPARE(sheet.size(), twipsSize(9765, 5775));
        const std::array<int, 4> columns{1560, 2880, 4440, 5760};
        for (std::size_t i = 0; i < FieldCount; ++i) {
            const Field& f = Fields[i];
            QCOMPARE(box(sheet, i)->geometry(),
                     twipsRect(columns[static_cast<std::size_t>(f.column())], 1800 + 360 * f.row(),
                               1200, 285));
        }
        for (const Setting& s : Settings) {
            auto* label = sheet.findChild<QLabel*>(latin(s.labelName));
            const int left = latin(s.code) == QLatin1String("SL") ? 4320 : 120;
            QCOMPARE(label->geometry(), twipsRect(left, 1800 + 360 * s.row, s.labelWidth, 255));
        }
        for (std::size_t w = 0; w < WheelCount; ++w)
            QCOMPARE(sheet.findChild<QLabel*>(QStringLiteral("Label%1").arg(w + 2))->text(),
                     latin(Wheels[w].printColumnLabel));
        auto* title = sheet.findChild<QLabel*>(QStringLiteral("Label6"));
        QCOMPARE(title->text(), QStringLiteral("Gravlund Settings "));
        QCOMPARE(title->font().pointSizeF(), 14.25);
        QCOMPARE(sheet.findChild<QWidget*>(QStringLiteral("tbFile"))->geometry(),
                 twipsRect(0, 720, 8535, 525));
        QCOMPARE(sheet.findChildren<QLabel*>().size(), 18);
    }

    void quitClosesTheWindow() {
        window->show();
        trigger(*window, "mnuQuit");
        QVERIFY(!window->isVisible());
    }

private:
    QString writeFile(const char* name, const QByteArray& bytes) {
        const QString path = dir->filePath(QLatin1String(name));
        testutil::writeBytes(path, bytes);
        return path;
    }

    std::optional<QTemporaryDir> dir;
    std::optional<Form1> window;
    std::optional<uitest::DialogScript> dialogs;
    std::optional<uitest::MessageLog> log;
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
