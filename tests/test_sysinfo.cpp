#include "fakeplatform.h"
#include "sysinfo.h"

#include <QTest>

using namespace Qt::StringLiterals;
using rigtune::RegDword;
using rigtune::RegExpandSz;
using rigtune::RegSz;

namespace {

const QByteArray SysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Program =
    QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
const QString Folder = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");
const QString FolderProgram = Folder + QStringLiteral("\\MSINFO32.EXE");

// One registry value; an empty name stands for a key that holds no values.
struct RegistryEntry {
    QByteArray key;
    QByteArray name;
    quint32 type = 0;
    QByteArray data;
};
using Registry = QList<RegistryEntry>;

RegistryEntry pathValue(quint32 type, const QByteArray& data) {
    return {SysInfoKey, "PATH", type, data};
}
RegistryEntry folderValue(const QString& folder) {
    return {LocationKey, "MSINFO", RegSz, folder.toLocal8Bit() + '\0'};
}

void fill(FakePlatform& platform, const Registry& registry) {
    for (const RegistryEntry& entry : registry) {
        if (entry.name.isEmpty())
            platform.addKey(entry.key);
        else
            platform.setValue(entry.key, entry.name, entry.type, entry.data);
    }
}

QByteArray sz(const QString& text) {
    return text.toLocal8Bit() + '\0';
}

QByteArray dword(quint32 number) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

void verifyKeysLeftClean(const FakePlatform& platform) {
    QVERIFY2(platform.openHandles.isEmpty(), "a registry key was left open");
    QCOMPARE(platform.badCloses, 0);
    for (quint32 mask : platform.accessMasks)
        QCOMPARE(mask, rigtune::KeyRead);
}

} // namespace

Q_DECLARE_METATYPE(Registry)

class TestSysInfo : public QObject {
    Q_OBJECT

private slots:
    void startSysInfo_data();
    void startSysInfo();
    void getKeyValue_data();
    void getKeyValue();
    void getKeyValueThrowsForValueWithoutEnd();
};

void TestSysInfo::startSysInfo_data() {
    QTest::addColumn<Registry>("registry");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("startable");
    QTest::addColumn<QStringList>("expectedAttempts");
    QTest::addColumn<QList<QByteArray>>("expectedKeys");
    QTest::addColumn<bool>("expectStarted");

    const QList<QByteArray> firstKey{SysInfoKey};
    const QList<QByteArray> bothKeys{SysInfoKey, LocationKey};
    const Registry fallback{{SysInfoKey, {}, 0, {}}, folderValue(Folder)};

    QTest::newRow("PATH as REG_SZ starts, whole, blanks and all")
        << Registry{pathValue(RegSz, sz(Program)), folderValue(Folder)}
        << QStringList{FolderProgram} << QStringList{Program} << QStringList{Program} << firstKey
        << true;
    QTest::newRow("PATH naming a missing file")
        << Registry{pathValue(RegSz, sz(QStringLiteral("C:\\gone\\msinfo32.exe"))),
                    folderValue(Folder)}
        << QStringList{FolderProgram} << QStringList{FolderProgram}
        << QStringList{QStringLiteral("C:\\gone\\msinfo32.exe")} << firstKey << false;
    QTest::newRow("PATH of another type")
        << Registry{pathValue(RegExpandSz, sz(QStringLiteral("%windir%\\msinfo32.exe")))}
        << QStringList{} << QStringList{} << QStringList{QString()} << firstKey << false;
    QTest::newRow("PATH missing, folder holds the program")
        << fallback << QStringList{FolderProgram} << QStringList{FolderProgram}
        << QStringList{FolderProgram} << bothKeys << true;
    QTest::newRow("first key missing, folder holds the program")
        << Registry{folderValue(Folder)} << QStringList{FolderProgram} << QStringList{FolderProgram}
        << QStringList{FolderProgram} << bothKeys << true;
    QTest::newRow("PATH missing, folder without the program")
        << fallback << QStringList{} << QStringList{FolderProgram} << QStringList{} << bothKeys
        << false;
    QTest::newRow("both missing") << Registry{} << QStringList{} << QStringList{} << QStringList{}
                                  << bothKeys << false;
    QTest::newRow("text after an embedded NUL is dropped")
        << Registry{pathValue(RegSz, "C:\\a.exe\0C:\\b.exe\0"_qba)} << QStringList{}
        << QStringList{QStringLiteral("C:\\a.exe"), QStringLiteral("C:\\b.exe")}
        << QStringList{QStringLiteral("C:\\a.exe")} << firstKey << true;
    QTest::newRow("value fills the buffer with no NUL")
        << Registry{pathValue(RegSz, QByteArray(rigtune::RegistryBufferSize, 'x')),
                    folderValue(Folder)}
        << QStringList{FolderProgram} << QStringList{FolderProgram} << QStringList{} << firstKey
        << false;
    QTest::newRow("value larger than the buffer falls back")
        << Registry{pathValue(RegSz, QByteArray(rigtune::RegistryBufferSize + 1, 'x')),
                    folderValue(Folder)}
        << QStringList{FolderProgram} << QStringList{FolderProgram} << QStringList{FolderProgram}
        << bothKeys << true;
    QTest::newRow("program found but will not start")
        << fallback << QStringList{FolderProgram} << QStringList{} << QStringList{FolderProgram}
        << bothKeys << false;
}

void TestSysInfo::startSysInfo() {
    QFETCH(Registry, registry);
    QFETCH(QStringList, files);
    QFETCH(QStringList, startable);
    QFETCH(QStringList, expectedAttempts);
    QFETCH(QList<QByteArray>, expectedKeys);
    QFETCH(bool, expectStarted);

    FakePlatform platform;
    fill(platform, registry);
    platform.files = QSet<QString>(files.begin(), files.end());
    platform.startable = QSet<QString>(startable.begin(), startable.end());

    QCOMPARE(rigtune::startSysInfoProgram(platform), expectStarted);

    QCOMPARE(platform.startAttempts, expectedAttempts);
    QCOMPARE(platform.openedKeys, expectedKeys);
    verifyKeysLeftClean(platform);
}

void TestSysInfo::getKeyValue_data() {
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("expectedResult");
    QTest::addColumn<QString>("expectedText");

    const QString untouched = QStringLiteral("as passed");
    const QByteArray longest(rigtune::RegistryBufferSize - 1, 'y');

    QTest::newRow("string") << true << RegSz << "C:\\x.exe\0"_qba << true
                            << QStringLiteral("C:\\x.exe");
    QTest::newRow("string stored without its NUL")
        << true << RegSz << "abc"_qba << true << QStringLiteral("abc");
    QTest::newRow("cut at the first NUL")
        << true << RegSz << "one\0two\0"_qba << true << QStringLiteral("one");
    QTest::newRow("longest string that fits")
        << true << RegSz << longest << true << QString::fromLatin1(longest);
    QTest::newRow("empty string") << true << RegSz << "\0"_qba << true << QString();
    QTest::newRow("number") << true << RegDword << dword(0x1A2B) << true
                            << QStringLiteral("&h1A2B");
    QTest::newRow("number with zero bytes inside")
        << true << RegDword << dword(0x01000200) << true << QStringLiteral("&h1000200");
    QTest::newRow("number zero") << true << RegDword << dword(0) << true << QStringLiteral("&h0");
    QTest::newRow("other type leaves the text")
        << true << RegExpandSz << "%x%\0"_qba << true << untouched;
    QTest::newRow("missing value") << true << 0u << QByteArray() << false << QString();
    QTest::newRow("missing key") << false << 0u << QByteArray() << false << QString();
    QTest::newRow("value larger than the buffer")
        << true << RegSz << QByteArray(rigtune::RegistryBufferSize + 1, 'z') << false << QString();
}

void TestSysInfo::getKeyValue() {
    QFETCH(bool, keyExists);
    QFETCH(quint32, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, expectedResult);
    QFETCH(QString, expectedText);

    FakePlatform platform;
    if (keyExists)
        platform.addKey(SysInfoKey);
    if (type != 0)
        platform.setValue(SysInfoKey, "PATH", type, data);

    QString text = QStringLiteral("as passed");
    const bool result = rigtune::GetKeyValue(platform, rigtune::HKeyLocalMachine,
                                             QString::fromLatin1(SysInfoKey), "PATH", text);
    QCOMPARE(result, expectedResult);
    QCOMPARE(text, expectedText);
    QCOMPARE(platform.openedKeys, QList<QByteArray>{SysInfoKey});
    verifyKeysLeftClean(platform);
}

void TestSysInfo::getKeyValueThrowsForValueWithoutEnd() {
    FakePlatform platform;
    platform.setValue(SysInfoKey, "PATH", RegSz, QByteArray(rigtune::RegistryBufferSize, 'x'));
    QString text;
    QVERIFY_THROWS_EXCEPTION(rigtune::RegistryValueError,
                             rigtune::GetKeyValue(platform, rigtune::HKeyLocalMachine,
                                                  QString::fromLatin1(SysInfoKey), "PATH", text));
    verifyKeysLeftClean(platform);
}

QTEST_GUILESS_MAIN(TestSysInfo)
#include "test_sysinfo.moc"
