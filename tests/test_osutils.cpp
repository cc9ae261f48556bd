// Finding the system-information program over a registry in memory, and the native platform.
#include "dialogname.h"
#include "sysinfo.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using namespace Qt::StringLiterals;
using namespace rigtune;

namespace {

// In memory, recording what is asked: HKEY_LOCAL_MACHINE (key, value: type, data), files, programs.
struct FakePlatform final : SysInfoPlatform {
    QMap<QByteArray, QMap<QByteArray, std::pair<quint32, QByteArray>>> keys;
    QSet<QString> files, startable; // ordinary files that exist, programs that start when asked
    QSet<quint32> accessMasks;
    QMap<RegistryKey, QByteArray> openKeys;
    int badCloses = 0;
    QStringList startAttempts;
    RegistryKey lastKey = 0x100;

    qint32 openKey(quint32 root, const QByteArray& path, quint32 mask, RegistryKey& key) override {
        accessMasks << mask;
        if (root != 0x80000002 || !keys.contains(path))
            return 2; // ERROR_FILE_NOT_FOUND
        openKeys[key = ++lastKey] = path;
        return RegistrySuccess;
    }
    qint32 queryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        const auto values = keys.value(openKeys.value(key));
        if (!openKeys.contains(key) || !values.contains(name))
            return 2; // ERROR_FILE_NOT_FOUND
        const QByteArray bytes = values[name].second;
        type = values[name].first;
        if (const quint32 room = std::exchange(size, quint32(bytes.size())); size > room)
            return 234; // ERROR_MORE_DATA
        std::memcpy(data, bytes.constData(), size);
        return RegistrySuccess;
    }
    qint32 closeKey(RegistryKey key) override {
        badCloses += openKeys.remove(key) == 0;
        return RegistrySuccess;
    }
    bool ordinaryFileExists(const QString& path) override { return files.contains(path); }
    bool startProgram(const QString& program) override {
        startAttempts << program;
        return startable.contains(program);
    }
};

constexpr quint32 RegExpandSz = 2; // text with unexpanded %variables%, which is not read

const QByteArray SharedTools = "SOFTWARE\\Microsoft\\Shared Tools"_ba;
const QString Program = u"C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe"_s;
const QString Folder = u"C:\\Program Files\\Common Files\\MSInfo"_s;
const QString InFolder = Folder + u"\\MSINFO32.EXE"_s;

} // namespace

Q_DECLARE_METATYPE(os::AcceptedName)

class TestOsUtils : public QObject {
    Q_OBJECT

private slots:
    // The PATH value's type (0: none, ~0: not even its key) and bytes; the MSINFO value (0: none,
    // 1: a folder, 2: one with the program); what is started (null: nothing).
    void startSysInfoProgram_data() {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("folder");
        QTest::addColumn<QString>("started");
        const auto row = &QTest::newRow;
        row("PATH, whole, blanks and all") << RegSz << Program.toLatin1() + '\0' << 2 << Program;
        row("PATH of no file, no NUL") << RegSz << "C:\\gone.exe"_ba << 2 << u"C:\\gone.exe"_s;
        row("PATH cut at its first NUL") << RegSz << "C:\\a.exe\0b.exe\0"_ba << 0 << u"C:\\a.exe"_s;
        row("PATH a number") << RegDword << "\0\2\0\1"_ba << 0 << u"&h1000200"_s;
        row("PATH of another type") << RegExpandSz << "%windir%\\msinfo32.exe"_ba << 0 << u""_s;
        row("PATH missing, folder holds it") << 0u << QByteArray() << 2 << InFolder;
        row("PATH missing, folder without it") << 0u << QByteArray() << 1 << QString();
        row("both missing") << ~0u << QByteArray() << 0 << QString();
        row("buffer full, no NUL") << RegSz << QByteArray(1024, 'x') << 2 << QString();
        row("larger than the buffer") << RegSz << QByteArray(1025, 'x') << 2 << InFolder;
    }
    void startSysInfoProgram() {
        QFETCH(quint32, type);
        QFETCH(QByteArray, path);
        QFETCH(int, folder);
        QFETCH(QString, started);
        for (bool startable : {true, false}) {
            FakePlatform platform;
            if (type != ~0u) // the key, with PATH or, for type 0, an unnamed value only
                platform.keys[SharedTools + "\\MSINFO"][type ? "PATH" : ""] = {type, path};
            if (folder > 0)
                platform.keys[SharedTools + " Location"]["MSINFO"] = {RegSz, Folder.toLatin1()};
            if (folder > 1)
                platform.files << InFolder;
            if (startable)
                platform.startable << started;
            QCOMPARE(rigtune::startSysInfoProgram(platform), startable && !started.isNull());
            QCOMPARE(platform.startAttempts, QStringList(started.isNull() ? 0 : 1, started));
            QVERIFY2(platform.openKeys.isEmpty() && !platform.badCloses, "a key was left open");
            QCOMPARE(platform.accessMasks, QSet<quint32>{0x20019}); // KEY_READ
        }
    }

    // The file meant in the system's dialog, its list showing extensions or not, the dialog adding
    // its own to a typed name or not: a name typed or the start name as it stands; a pick, whole.
    void dialogNameIsTheOneMeant_data() {
        QTest::addColumn<os::AcceptedName>("accepted");
        QTest::addColumn<QString>("meant");
        for (const bool hidden : {false, true})
            for (const QString& added : {u""_s, u".str"_s}) {
                const QString race = hidden ? u"race"_s : u"race.str"_s; // as the list shows it
                const auto row = [&](const char* origin, const QString& chosen, const QString& box,
                                     const QString& picked, const QString& meant) {
                    QTest::addRow("%s, extensions %s, \"%s\" added", origin,
                                  hidden ? "hidden" : "shown", qPrintable(added))
                        << os::AcceptedName{"C:/s/" + chosen, box, picked} << "C:/s/" + meant;
                };
                row("typed over a pick", "plain" + added, "plain", race, "plain");
                row("typed as a path", "a.txt" + added, "C:\\s\\a.txt", {}, "a.txt");
                row("start name", "my setup" + added, "my setup", {}, "my setup");
                row("picked", "race.str", race, race, "race.str");
            }
    }
    void dialogNameIsTheOneMeant() {
        QFETCH(os::AcceptedName, accepted);
        QFETCH(QString, meant);
        QCOMPARE(os::meantPath(accepted, u"str"_s), meant);
    }

#ifndef Q_OS_WIN
    // A program's path is the program itself, blanks and all; a hidden file is none.
    void nativeProgramsAndFiles() {
        QTemporaryDir dir;
        const QString program = dir.filePath(u"a b"_s), hidden = dir.filePath(u".a b"_s);
        for (const QString& path : {program, hidden}) {
            QFile script(path); // closed before it runs
            QVERIFY(script.open(QIODevice::WriteOnly) &&
                    script.write("#!/bin/sh\ntouch \"$0.ran\"\n") > 0 &&
                    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        }
        SysInfoPlatform& native = nativeSysInfoPlatform();
        QVERIFY(native.ordinaryFileExists(program) && !native.ordinaryFileExists(hidden) &&
                native.startProgram(program));
        QTRY_VERIFY(QFileInfo::exists(program + u".ran"_s));
    }
#endif
};

QTEST_GUILESS_MAIN(TestOsUtils)
#include "test_osutils.moc"
