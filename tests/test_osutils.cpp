// Finding the system-information program over a registry in memory, and the native platform.
#include "platform.h"
#include "sysinfo.h"
#include "testutil.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using namespace Qt::StringLiterals;
using rigtune::RegSz;

namespace {

// A registry, file system and program starter in memory, which records what was asked of it.
class FakePlatform final : public rigtune::Platform {
public:
    // Keys live under HKEY_LOCAL_MACHINE; a value with an empty name only makes its key.
    void setValue(const QByteArray& key, const QByteArray& name, quint32 type,
                  const QByteArray& data) {
        auto& values = keys[key];
        if (!name.isEmpty())
            values[name] = {type, data};
    }

    qint32 openKey(quint32 root, const QByteArray& path, quint32 access,
                   rigtune::RegistryKey& key) override {
        accessMasks << access;
        if (root != 0x80000002 || !keys.contains(path))
            return 2; // ERROR_FILE_NOT_FOUND
        openHandles[key = ++lastHandle] = path;
        return rigtune::RegistrySuccess;
    }

    qint32 queryValue(rigtune::RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        const auto value = keys.value(openHandles.value(key)).value(name, {~0u, {}});
        if (!openHandles.contains(key) || value.first == ~0u)
            return 2; // ERROR_FILE_NOT_FOUND
        const quint32 room = std::exchange(size, quint32(value.second.size()));
        type = value.first;
        if (size > room)
            return 234; // ERROR_MORE_DATA
        std::memcpy(data, value.second.constData(), size);
        return rigtune::RegistrySuccess;
    }

    qint32 closeKey(rigtune::RegistryKey key) override {
        badCloses += openHandles.remove(key) == 0;
        return rigtune::RegistrySuccess;
    }

    bool ordinaryFileExists(const QString& path) override { return files.contains(path); }

    bool startProgram(const QString& program) override {
        startAttempts << program;
        return startable.contains(program);
    }

    QMap<QByteArray, QMap<QByteArray, std::pair<quint32, QByteArray>>> keys; // type and data
    QSet<QString> files;     // ordinary files that exist
    QSet<QString> startable; // programs that start when asked
    QList<quint32> accessMasks;
    QMap<rigtune::RegistryKey, QByteArray> openHandles;
    int badCloses = 0;
    QStringList startAttempts;

    rigtune::RegistryKey lastHandle = 0x100;
};

const QByteArray SysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Program = u"C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe"_s;
const QString Folder = u"C:\\Program Files\\Common Files\\MSInfo"_s;
const QString FolderProgram = Folder + u"\\MSINFO32.EXE"_s;
constexpr int BufferSize = 1024;

} // namespace

class TestOsUtils : public QObject {
    Q_OBJECT

private slots:
    void startSysInfoProgram_data() {
        QTest::addColumn<quint32>("type"); // of the PATH value; 0: none, ~0: not even its key
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("folder"); // 0: no MSINFO value, 1: a folder, 2: one with the program
        QTest::addColumn<QString>("started"); // null: nothing is started
        QTest::newRow("PATH, whole, blanks and all")
            << RegSz << Program.toLatin1() + '\0' << 2 << Program;
        QTest::newRow("PATH naming a missing file, without its NUL")
            << RegSz << "C:\\gone.exe"_ba << 2 << u"C:\\gone.exe"_s;
        QTest::newRow("PATH cut at its first NUL")
            << RegSz << "C:\\a.exe\0b.exe\0"_ba << 0 << u"C:\\a.exe"_s;
        QTest::newRow("PATH a number") << rigtune::RegDword << "\0\2\0\1"_ba << 0 << u"&h1000200"_s;
        QTest::newRow("PATH of another type")
            << rigtune::RegExpandSz << "%windir%\\msinfo32.exe"_ba << 0 << u""_s;
        QTest::newRow("PATH missing, folder holds the program")
            << 0u << QByteArray() << 2 << FolderProgram;
        QTest::newRow("PATH missing, folder without the program")
            << 0u << QByteArray() << 1 << QString();
        QTest::newRow("both missing") << ~0u << QByteArray() << 0 << QString();
        QTest::newRow("value fills the buffer with no NUL")
            << RegSz << QByteArray(BufferSize, 'x') << 2 << QString();
        QTest::newRow("value larger than the buffer falls back")
            << RegSz << QByteArray(BufferSize + 1, 'x') << 2 << FolderProgram;
    }
    void startSysInfoProgram() {
        QFETCH(quint32, type);
        QFETCH(QByteArray, path);
        QFETCH(int, folder);
        QFETCH(QString, started);
        for (bool startable : {true, false}) {
            FakePlatform platform;
            if (type != ~0u)
                platform.setValue(SysInfoKey, type ? "PATH"_ba : QByteArray(), type, path);
            if (folder > 0)
                platform.setValue(LocationKey, "MSINFO", RegSz, Folder.toLatin1());
            if (folder > 1)
                platform.files << FolderProgram;
            if (startable)
                platform.startable << started;
            QCOMPARE(rigtune::startSysInfoProgram(platform), startable && !started.isNull());
            QCOMPARE(platform.startAttempts,
                     started.isNull() ? QStringList() : QStringList{started});
            // Every key opened is closed again, and nothing but reading was asked for.
            QVERIFY2(platform.openHandles.isEmpty() && !platform.badCloses, "a key was left open");
            QCOMPARE(QSet<quint32>(platform.accessMasks.begin(), platform.accessMasks.end()),
                     QSet<quint32>{0x20019}); // KEY_READ
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
