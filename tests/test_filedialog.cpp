#include "filedialog.h"

#include <QFileDialog>
#include <QTest>

using rigtune::CommonDialog;

class TestFileDialog : public QObject {
    Q_OBJECT

private slots:
    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("patterns shown")
            << "Setup Files (*.str)|*.str" << QStringList{"Setup Files (*.str)"};
        QTest::newRow("patterns not shown") << "Setups|*.str" << QStringList{"Setups (*.str)"};
        QTest::newRow("two entries, several patterns")
            << "Setups|*.str;*.txt|All|*.*" << QStringList{"Setups (*.str *.txt)", "All (*.*)"};
        QTest::newRow("no pattern") << "Setups" << QStringList{};
    }
    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(CommonDialog::qtNameFilters(filter), expected);
    }

    // Neither dialog adds an extension or asks about replacing a file, and the open dialog takes
    // a name that does not exist, so each command sees exactly the name typed.
    void dialogIsSetUpAsTheCommandsNeed_data() {
        QTest::addColumn<CommonDialog::Mode>("mode");
        QTest::newRow("open") << CommonDialog::Mode::Open;
        QTest::newRow("save") << CommonDialog::Mode::Save;
    }
    void dialogIsSetUpAsTheCommandsNeed() {
        QFETCH(CommonDialog::Mode, mode);
        QFileDialog dialog;
        dialog.setDefaultSuffix(QStringLiteral("str"));
        CommonDialog::prepare(dialog, mode, {QStringLiteral("Setup Files (*.str)")},
                              QStringLiteral("/tmp/last.str"));
        QCOMPARE(dialog.acceptMode(), mode == CommonDialog::Mode::Open ? QFileDialog::AcceptOpen
                                                                       : QFileDialog::AcceptSave);
        QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
        QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        QVERIFY(dialog.defaultSuffix().isEmpty());
        QCOMPARE(dialog.nameFilters(), QStringList{"Setup Files (*.str)"});
    }

    void cancelKeepsTheLastName() {
        CommonDialog dialog;
        QStringList answers{QStringLiteral("/tmp/a.str"), QString()};
        CommonDialog::setHook([&](CommonDialog::Mode, const QString&) {
            const QString next = answers.takeFirst();
            return next.isNull() ? std::nullopt : std::optional<QString>(next);
        });
        QVERIFY(dialog.showOpen(nullptr));
        QVERIFY(!dialog.showSave(nullptr));
        CommonDialog::setHook({});
        QCOMPARE(dialog.fileName(), QStringLiteral("/tmp/a.str"));
    }
};

QTEST_MAIN(TestFileDialog)
#include "test_filedialog.moc"
