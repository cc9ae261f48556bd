// Finding the system-information program over a registry in memory, and the operating system's
// own platform layer as far as this machine has it.
#include "fakeplatform.h"
#include "sysinfo.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using rigtune::RegSz;

namespace {

const QByteArray SysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Program = u"C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe"_s;
const QString Folder = u"C:\\Program Files\\Common Files\\MSInfo"_s;
const QString FolderProgram = Folder + u"\\MSINFO32.EXE"_s;
constexpr int BufferSize = 1024;

// Registry values as (key, name, type, data); an empty name stands for a key without values.
using Registry = QList<std::tuple<QByteArray, QByteArray, quint32, QByteArray>>;

// Every key that was opened is closed again, and nothing but reading was asked for.
void verifyKeysLeftClean(const FakePlatform& platform) {
    QVERIFY2(platform.openHandles.isEmpty(), "a registry key was left open");
    QCOMPARE(platform.badCloses, 0);
    for (quint32 mask : platform.accessMasks)
        QCOMPARE(mask, 0x20019u); // KEY_READ
}

} // namespace

class TestOsUtils : public QObject {
    Q_OBJECT

private slots:
    void startSysInfoProgram_data() {
        QTest::addColumn<Registry>("registry");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("attempts");
        const auto path = [](quint32 type, const QByteArray& data) {
            return std::tuple{SysInfoKey, "PATH"_ba, type, data};
        };
        const auto folder = std::tuple{LocationKey, "MSINFO"_ba, RegSz, Folder.toLatin1()};
        const auto noPath = std::tuple{SysInfoKey, QByteArray(), 0u, QByteArray()};
        const QStringList both{FolderProgram};

        QTest::newRow("PATH, whole, blanks and all")
            << Registry{path(RegSz, Program.toLatin1() + '\0'), folder} << both
            << QStringList{Program};
        QTest::newRow("PATH naming a missing file, without its NUL")
            << Registry{path(RegSz, "C:\\gone.exe"), folder} << both
            << QStringList{u"C:\\gone.exe"_s};
        QTest::newRow("PATH cut at its first NUL") << Registry{path(RegSz, "C:\\a.exe\0b.exe\0"_ba)}
                                                   << QStringList{} << QStringList{u"C:\\a.exe"_s};
        QTest::newRow("PATH a number") << Registry{path(rigtune::RegDword, "\0\2\0\1"_ba)}
                                       << QStringList{} << QStringList{u"&h1000200"_s};
        QTest::newRow("PATH of another type")
            << Registry{path(rigtune::RegExpandSz, "%windir%\\msinfo32.exe")} << QStringList{}
            << QStringList{QString()};
        QTest::newRow("PATH missing, folder holds the program")
            << Registry{noPath, folder} << both << both;
        QTest::newRow("PATH missing, folder without the program")
            << Registry{noPath, folder} << QStringList{} << QStringList{};
        QTest::newRow("both missing") << Registry{} << QStringList{} << QStringList{};
        QTest::newRow("value fills the buffer with no NUL")
            << Registry{path(RegSz, QByteArray(BufferSize, 'x')), folder} << both << QStringList{};
        QTest::newRow("value larger than the buffer falls back")
            << Registry{path(RegSz, QByteArray(BufferSize + 1, 'x')), folder} << both << both;
    }
    void startSysInfoProgram() {
        QFETCH(Registry, registry);
        QFETCH(QStringList, files);
        QFETCH(QStringList, attempts);
        for (bool startable : {true, false}) {
            FakePlatform platform;
            for (const auto& [key, name, type, data] : registry)
                platform.setValue(key, name, type, data);
            platform.files = QSet<QString>(files.begin(), files.end());
            if (startable)
                platform.startable = QSet<QString>(attempts.begin(), attempts.end());
            QCOMPARE(rigtune::startSysInfoProgram(platform), startable && !attempts.isEmpty());
            QCOMPARE(platform.startAttempts, attempts);
            verifyKeysLeftClean(platform);
        }
    }

#ifndef Q_OS_WIN
    // Only ordinary files that are not hidden count; "<dir>/a b/run" starts that program, not
    // "<dir>/a" with an argument "b/run".
    void nativeFilesAndPrograms() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"a b/folder"_s));
        for (const char* name : {"a b/run", "a", "a b/.hidden"}) {
            QVERIFY(testutil::writeBytes(dir.filePath(QLatin1String(name)),
                                         "#!/bin/sh\ntouch \"$0.ran\"\n"));
            QFile::setPermissions(dir.filePath(QLatin1String(name)),
                                  QFile::ReadOwner | QFile::ExeOwner);
        }
        rigtune::Platform& native = rigtune::nativePlatform();
        QVERIFY(native.ordinaryFileExists(dir.filePath(u"a b/run"_s)));
        for (const char* name : {"a b/folder", "a b/.hidden", "missing"})
            QVERIFY2(!native.ordinaryFileExists(dir.filePath(QLatin1String(name))), name);
        QVERIFY(native.startProgram(dir.filePath(u"a b/run"_s)));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath(u"a b/run.ran"_s)), 10000);
        QVERIFY2(!QFileInfo::exists(dir.filePath(u"a.ran"_s)), "the path was split");
        QVERIFY(!native.startProgram(dir.filePath(u"missing"_s)) && !native.startProgram({}));
    }
#endif
};

QTEST_GUILESS_MAIN(TestOsUtils)
#include "test_osutils.moc"
