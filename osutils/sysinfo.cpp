#include "sysinfo.h"

#include <QByteArray>
#include <QtEndian>

namespace rigtune {

namespace {

const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SysInfoValue = QStringLiteral("PATH");
const QString LocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString LocationValue = QStringLiteral("MSINFO");
const QString SysInfoProgram = QStringLiteral("\\MSINFO32.EXE");

// Closes the key when it goes out of scope, whichever way that is.
class KeyCloser {
public:
    KeyCloser(Platform& platform, RegistryKey key) : platform_(platform), key_(key) {}
    ~KeyCloser() { platform_.closeKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    Platform& platform_;
    RegistryKey key_;
};

// A number is read from its own four bytes, not from the text cut at the first NUL, which
// would drop every byte after a zero one.
QString dwordText(const QByteArray& buffer) {
    const auto number = qFromLittleEndian<quint32>(buffer.constData());
    return QStringLiteral("&h") + QString::number(number, 16).toUpper();
}

// Looks the program up: the path the first key names, taken as it stands, or else the program in
// the folder the second key names, when it is there.
bool findSysInfoProgram(Platform& platform, QString& programPath) {
    if (GetKeyValue(platform, HKeyLocalMachine, SysInfoKey, SysInfoValue, programPath))
        return true;
    QString folder;
    if (!GetKeyValue(platform, HKeyLocalMachine, LocationKey, LocationValue, folder))
        return false;
    programPath = folder + SysInfoProgram;
    return platform.ordinaryFileExists(programPath);
}

} // namespace

bool GetKeyValue(Platform& platform, quint32 rootKey, const QString& keyPath,
                 const QString& valueName, QString& valueText) {
    RegistryKey key = 0;
    if (platform.openKey(rootKey, keyPath.toLocal8Bit(), KeyRead, key) != RegistrySuccess) {
        valueText.clear();
        return false;
    }
    const KeyCloser closer(platform, key);

    QByteArray buffer(RegistryBufferSize, '\0');
    quint32 size = RegistryBufferSize;
    quint32 type = 0;
    if (platform.queryValue(key, valueName.toLocal8Bit(), type, buffer.data(), size) !=
        RegistrySuccess) {
        valueText.clear();
        return false;
    }

    const qsizetype end = buffer.indexOf('\0');
    if (end < 0)
        throw RegistryValueError("registry value fills the buffer with no NUL");
    if (type == RegSz)
        valueText = QString::fromLocal8Bit(buffer.first(end));
    else if (type == RegDword)
        valueText = dwordText(buffer);
    return true;
}

bool startSysInfoProgram(Platform& platform) {
    try {
        QString programPath;
        return findSysInfoProgram(platform, programPath) && platform.startProgram(programPath);
    } catch (const std::exception&) {
        return false; // whatever went wrong on the way, the user gets the one message
    }
}

} // namespace rigtune
