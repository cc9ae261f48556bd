// Finding the system-information program over a registry in memory, and the operating system's
// own platform layer as far as this machine has it.
#include "fakeplatform.h"
#include "sysinfo.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using rigtune::RegDword;
using rigtune::RegExpandSz;
using rigtune::RegSz;

namespace {

const QByteArray SysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Program =
    u"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"_s;
const QString Folder = u"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo"_s;
const QString FolderProgram = Folder + u"\\MSINFO32.EXE"_s;
constexpr int BufferSize = 1024;

// Registry values as (key, name, type, data); an empty name stands for a key without values.
using Registry = QList<std::tuple<QByteArray, QByteArray, quint32, QByteArray>>;

QByteArray sz(const QString& text) {
    return text.toLocal8Bit() + '\0';
}

QByteArray dword(quint32 number) {
    const char bytes[4] = {char(number), char(number >> 8), char(number >> 16), char(number >> 24)};
    return QByteArray(bytes, 4);
}

// Every key that was opened is closed again, and nothing but reading was asked for.
void verifyKeysLeftClean(const FakePlatform& platform) {
    QVERIFY2(platform.openHandles.isEmpty(), "a registry key was left open");
    QCOMPARE(platform.badCloses, 0);
    for (quint32 mask : platform.accessMasks)
        QCOMPARE(mask, 0x20019u); // KEY_READ
}

} // namespace

Q_DECLARE_METATYPE(Registry)

class TestOsUtils : public QObject {
    Q_OBJECT

private slots:
    void startSysInfoProgram_data() {
        QTest::addColumn<Registry>("registry");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("attempts");
        QTest::addColumn<QList<QByteArray>>("keysOpened");
        const QList<QByteArray> first{SysInfoKey};
        const QList<QByteArray> both{SysInfoKey, LocationKey};
        const auto path = [](quint32 type, const QByteArray& data) {
            return std::tuple{SysInfoKey, "PATH"_ba, type, data};
        };
        const auto folder = std::tuple{LocationKey, "MSINFO"_ba, RegSz, sz(Folder)};
        const auto noPath = std::tuple{SysInfoKey, QByteArray(), 0u, QByteArray()};
        const QStringList folderProgram{FolderProgram};

        QTest::newRow("PATH, whole, blanks and all")
            << Registry{path(RegSz, sz(Program)), folder} << folderProgram << QStringList{Program}
            << first;
        QTest::newRow("PATH naming a missing file")
            << Registry{path(RegSz, sz(u"C:\\gone.exe"_s)), folder} << folderProgram
            << QStringList{u"C:\\gone.exe"_s} << first;
        QTest::newRow("PATH of another type")
            << Registry{path(RegExpandSz, sz(u"%windir%\\msinfo32.exe"_s))} << QStringList{}
            << QStringList{QString()} << first;
        QTest::newRow("PATH missing, folder holds the program")
            << Registry{noPath, folder} << folderProgram << folderProgram << both;
        QTest::newRow("PATH missing, folder without the program")
            << Registry{noPath, folder} << QStringList{} << QStringList{} << both;
        QTest::newRow("both missing") << Registry{} << QStringList{} << QStringList{} << both;
        QTest::newRow("value fills the buffer with no NUL")
            << Registry{path(RegSz, QByteArray(BufferSize, 'x')), folder} << folderProgram
            << QStringList{} << first;
        QTest::newRow("value larger than the buffer falls back")
            << Registry{path(RegSz, QByteArray(BufferSize + 1, 'x')), folder} << folderProgram
            << folderProgram << both;
    }
    void startSysInfoProgram() {
        QFETCH(Registry, registry);
        QFETCH(QStringList, files);
        QFETCH(QStringList, attempts);
        QFETCH(QList<QByteArray>, keysOpened);
        for (bool startable : {true, false}) {
            FakePlatform platform;
            for (const auto& [key, name, type, data] : registry)
                platform.setValue(key, name, type, data);
            platform.files = QSet<QString>(files.begin(), files.end());
            if (startable)
                platform.startable = QSet<QString>(attempts.begin(), attempts.end());
            const bool started = rigtune::startSysInfoProgram(platform);
            QCOMPARE(started, startable && !attempts.isEmpty());
            QCOMPARE(platform.startAttempts, attempts);
            QCOMPARE(platform.openedKeys, keysOpened);
            verifyKeysLeftClean(platform);
        }
    }

    void getKeyValue_data() {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        const QByteArray longest(BufferSize - 1, 'y');
        QTest::newRow("string") << RegSz << "C:\\x.exe\0"_ba << true << u"C:\\x.exe"_s;
        QTest::newRow("string without its NUL") << RegSz << "abc"_ba << true << u"abc"_s;
        QTest::newRow("cut at the first NUL") << RegSz << "one\0two\0"_ba << true << u"one"_s;
        QTest::newRow("longest string") << RegSz << longest << true << QString::fromLatin1(longest);
        QTest::newRow("number") << RegDword << dword(0x01000200) << true << u"&h1000200"_s;
        QTest::newRow("other type") << RegExpandSz << "%x%\0"_ba << true << u"as passed"_s;
        QTest::newRow("missing value") << 0u << QByteArray() << false << QString();
        QTest::newRow("missing key") << ~0u << QByteArray() << false << QString();
        QTest::newRow("too large")
            << RegSz << QByteArray(BufferSize + 1, 'z') << false << QString();
    }
    void getKeyValue() {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, found);
        QFETCH(QString, text);
        FakePlatform platform;
        if (type != ~0u)
            platform.setValue(SysInfoKey, type ? "PATH"_ba : QByteArray(), type, data);
        QString value = u"as passed"_s;
        QCOMPARE(rigtune::GetKeyValue(platform, 0x80000002, QString::fromLatin1(SysInfoKey),
                                      u"PATH"_s, value),
                 found);
        QCOMPARE(value, text);
        verifyKeysLeftClean(platform);
    }

    void ordinaryFileExists() {
        QTemporaryDir dir;
        for (const char* file : {"MSINFO32.EXE", ".hidden"})
            QVERIFY(testutil::writeBytes(dir.filePath(QLatin1String(file)), "x"));
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
        const auto exists = [&dir](const char* name) {
            return rigtune::nativePlatform().ordinaryFileExists(dir.filePath(QLatin1String(name)));
        };
        QVERIFY(exists("MSINFO32.EXE"));
        QVERIFY(!exists("folder") && !exists("missing.exe"));
#ifndef Q_OS_WIN
        QVERIFY(!exists(".hidden"));
#endif
    }

#ifndef Q_OS_WIN
    // "<dir>/a b/run" must start that program, not "<dir>/a" with an argument "b/run".
    void programPathIsNeverSplit() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"a b"_s));
        for (const char* name : {"a b/run", "a"}) {
            QFile script(dir.filePath(QLatin1String(name)));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\ntouch \"$0.ran\"\n");
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QVERIFY(rigtune::nativePlatform().startProgram(dir.filePath(u"a b/run"_s)));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath(u"a b/run.ran"_s)), 10000);
        QVERIFY2(!QFileInfo::exists(dir.filePath(u"a.ran"_s)), "the path was split");
        QVERIFY(!rigtune::nativePlatform().startProgram(dir.filePath(u"missing"_s)));
        QVERIFY(!rigtune::nativePlatform().startProgram(QString()));
    }

    void noRegistryHere() {
        rigtune::RegistryKey key = 1;
        QVERIFY(rigtune::nativePlatform().openKey(0x80000002, "SOFTWARE", 0x20019, key) !=
                rigtune::RegistrySuccess);
    }
#endif
};

QTEST_GUILESS_MAIN(TestOsUtils)
#include "test_osutils.moc"
