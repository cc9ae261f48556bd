// Finding and starting the system-information program through the system's own registry, file
// attributes and process start; each program that may start is a copy of a marker that leaves a
// mark when it runs. The finding logic itself is tested over a fake in test_osutils.
#include "sysinfo.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

// "a.exe" runs only when "a b\marker.exe" is split at its blank, as a command line would be.
const QStringList Programs{u"a b/marker.exe"_s, u"a.exe"_s, u"folder/MSINFO32.EXE"_s};

// Writes both values into HKEY_LOCAL_MACHINE as REG_SZ; an empty one is removed.
bool setValues(const QString& path, const QString& folder) {
    QSettings microsoft(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft"_s, QSettings::NativeFormat);
    for (const auto& [name, text] : {std::pair{u"Shared Tools/MSINFO/PATH"_s, path},
                                     {u"Shared Tools Location/MSINFO"_s, folder}})
        text.isEmpty() ? microsoft.remove(name) : microsoft.setValue(name, text);
    microsoft.sync();
    return microsoft.status() == QSettings::NoError;
}

QStringList marks(const QTemporaryDir& dir) {
    QStringList ran;
    for (const QString& program : Programs)
        if (QFile::exists(dir.filePath(program + u".ran"_s)))
            ran << program;
    return ran;
}

} // namespace

class TestSysInfoRegistry : public QObject {
    Q_OBJECT

private slots:
    void startsTheProgramTheRegistryNames_data() {
        QTest::addColumn<QString>("path");    // the PATH value; empty: none
        QTest::addColumn<bool>("hidden");     // folder\MSINFO32.EXE hidden
        QTest::addColumn<QString>("started"); // empty: none, and System Info says so
        QTest::newRow("PATH with a blank") << u"a b\\marker.exe"_s << false << Programs[0];
        QTest::newRow("PATH names a missing file") << u"missing.exe"_s << false << QString();
        QTest::newRow("MSINFO32.EXE in the folder") << QString() << false << Programs[2];
        QTest::newRow("MSINFO32.EXE hidden") << QString() << true << QString();
    }
    void startsTheProgramTheRegistryNames() {
        QFETCH(QString, path);
        QFETCH(bool, hidden);
        QFETCH(QString, started);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"a b"_s) && QDir(dir.path()).mkpath(u"folder"_s));
        for (const QString& program : Programs)
            QVERIFY(QFile::copy(QStringLiteral(RIGTUNE_MARKER), dir.filePath(program)));
        QVERIFY(!hidden || SetFileAttributesW(qUtf16Printable(dir.filePath(Programs[2])),
                                              FILE_ATTRIBUTE_HIDDEN));
        const QString root = QDir::toNativeSeparators(dir.path()) + u'\\';
        QVERIFY(setValues(path.isEmpty() ? path : root + path, root + u"folder"_s));

        QCOMPARE(rigtune::startSysInfoProgram(rigtune::nativePlatform()), !started.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(marks(dir),
                                  started.isEmpty() ? QStringList() : QStringList{started}, 15000);
    }
    void cleanupTestCase() { QVERIFY(setValues({}, {})); }
};

QTEST_GUILESS_MAIN(TestSysInfoRegistry)
#include "test_sysinfo_registry.moc"
