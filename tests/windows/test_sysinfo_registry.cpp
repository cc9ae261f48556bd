// The About box's System Info button against the system's own registry, files and process start:
// the values are written into HKEY_LOCAL_MACHINE, and the programs it may start leave a mark
// when they run. Every key opened is closed, with read rights asked only.
#include "frmabout.h"
#include "messages.h"
#include "platform.h"
#include "sysinfo.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <windows.h>

using namespace rigtune;

namespace {

const char* const SysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// The system's registry and process start, with a record of the keys opened and closed.
class RecordingPlatform final : public Platform {
public:
    qint32 openKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                   RegistryKey& key) override {
        accessMasks << accessMask;
        const qint32 result = native_.openKey(rootKey, path, accessMask, key);
        if (result == RegistrySuccess)
            openKeys.insert(key);
        return result;
    }
    qint32 queryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        return native_.queryValue(key, name, type, data, size);
    }
    qint32 closeKey(RegistryKey key) override {
        const qint32 result = native_.closeKey(key);
        if (result != RegistrySuccess || !openKeys.remove(key))
            ++badCloses;
        return result;
    }
    bool ordinaryFileExists(const QString& path) override {
        return native_.ordinaryFileExists(path);
    }
    bool startProgram(const QString& program) override { return native_.startProgram(program); }

    QList<quint32> accessMasks;
    QSet<RegistryKey> openKeys;
    int badCloses = 0;

private:
    Platform& native_ = nativePlatform();
};

void setValue(const char* key, const char* name, DWORD type, const QString& text) {
    HKEY handle = nullptr;
    QCOMPARE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                             &handle, nullptr),
             LONG(ERROR_SUCCESS));
    const QByteArray data = text.toLocal8Bit();
    const LONG result =
        RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(data.constData()),
                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
    QCOMPARE(result, LONG(ERROR_SUCCESS));
}

void removeValue(const char* key, const char* name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(handle, name);
    RegCloseKey(handle);
}

} // namespace

class TestSysInfoRegistry : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir.emplace();
        QVERIFY(dir->isValid());
        QDir root(dir->path());
        QVERIFY(root.mkpath(QStringLiteral("a b")) && root.mkpath(QStringLiteral("folder")) &&
                root.mkpath(QStringLiteral("empty folder")));
        // "a.exe" catches a path split at its blank, as an unquoted command line would be.
        for (const char* copy : {"a b/marker.exe", "a.exe", "folder/MSINFO32.EXE"})
            QVERIFY(
                QFile::copy(QStringLiteral(RIGTUNE_MARKER), dir->filePath(QLatin1String(copy))));
        cleanupRegistry();
    }
    void cleanup() {
        cleanupRegistry();
        setMessageHook({});
        dir.reset();
    }

    void startsTheProgramTheRegistryNames_data() {
        QTest::addColumn<QString>("path"); // the PATH value; empty: none
        QTest::addColumn<int>("pathType");
        QTest::addColumn<QString>("folder");  // the MSINFO value; empty: none
        QTest::addColumn<bool>("hidden");     // MSINFO32.EXE hidden in the folder
        QTest::addColumn<QString>("started"); // the program that runs; empty: the message shows

        QTest::newRow("PATH names the program, a blank in its path")
            << "a b\\marker.exe" << REG_SZ << "folder" << false << "a b/marker.exe";
        QTest::newRow("PATH names a missing file, the folder is not looked at")
            << "missing.exe" << REG_SZ << "folder" << false << "";
        QTest::newRow("PATH as an expandable string")
            << "a b\\marker.exe" << REG_EXPAND_SZ << "" << false << "";
        QTest::newRow("no PATH, the folder holds MSINFO32.EXE")
            << "" << REG_SZ << "folder" << false << "folder/MSINFO32.EXE";
        QTest::newRow("no PATH, the folder lacks it")
            << "" << REG_SZ << "empty folder" << false << "";
        QTest::newRow("no PATH, MSINFO32.EXE hidden") << "" << REG_SZ << "folder" << true << "";
        QTest::newRow("neither value") << "" << REG_SZ << "" << false << "";
    }

    void startsTheProgramTheRegistryNames() {
        QFETCH(QString, path);
        QFETCH(int, pathType);
        QFETCH(QString, folder);
        QFETCH(bool, hidden);
        QFETCH(QString, started);

        if (!path.isEmpty())
            setValue(SysInfoKey, "PATH", static_cast<DWORD>(pathType), native(path));
        if (!folder.isEmpty())
            setValue(LocationKey, "MSINFO", REG_SZ, native(folder));
        if (hidden)
            QVERIFY(SetFileAttributesW(
                reinterpret_cast<LPCWSTR>(native(QStringLiteral("folder\\MSINFO32.EXE")).utf16()),
                FILE_ATTRIBUTE_HIDDEN));

        QStringList messages;
        setMessageHook([&messages](const QString& text) { messages << text; });
        RecordingPlatform platform;
        frmAbout box(nullptr, platform);
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                          Qt::LeftButton);

        if (started.isEmpty()) {
            QCOMPARE(messages, QStringList{SysInfoUnavailable});
        } else {
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir->filePath(started + ".ran")), 15000);
        }
        QCOMPARE(marks(), started.isEmpty() ? QStringList() : QStringList{started + ".ran"});
        QVERIFY2(platform.openKeys.isEmpty(), "a registry key was left open");
        QCOMPARE(platform.badCloses, 0);
        QVERIFY(!platform.accessMasks.isEmpty());
        for (const quint32 mask : platform.accessMasks)
            QCOMPARE(mask, KeyRead);
    }

private:
    QString native(const QString& relative) const {
        return QDir::toNativeSeparators(dir->filePath(relative));
    }

    // The marks left by every program that ran.
    QStringList marks() const {
        QStringList found;
        for (const char* name : {"a b/marker.exe", "a.exe", "folder/MSINFO32.EXE"})
            if (const QString mark = QString::fromLatin1(name) + ".ran";
                QFile::exists(dir->filePath(mark)))
                found << mark;
        return found;
    }

    static void cleanupRegistry() {
        removeValue(SysInfoKey, "PATH");
        removeValue(LocationKey, "MSINFO");
    }

    std::optional<QTemporaryDir> dir;
};

QTEST_MAIN(TestSysInfoRegistry)
#include "test_sysinfo_registry.moc"
