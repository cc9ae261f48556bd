#include "sysinfo.h"

#include <QByteArray>
#include <QtEndian>
#include <optional>

namespace rigtune {

namespace {

const QString SysInfoProgram = QStringLiteral("\\MSINFO32.EXE");

// The registry gives values through a buffer of this many bytes.
constexpr int RegistryBufferSize = 1024;

// Closes the key when it goes out of scope, whichever way that is.
class KeyCloser {
public:
    KeyCloser(SysInfoPlatform& platform, RegistryKey key) : platform_(platform), key_(key) {}
    ~KeyCloser() { platform_.closeKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    SysInfoPlatform& platform_;
    RegistryKey key_;
};

// A number is read from its own four bytes, not from the text cut at the first NUL, which
// would drop every byte after a zero one.
QString dwordText(const QByteArray& buffer) {
    const auto number = qFromLittleEndian<quint32>(buffer.constData());
    return QStringLiteral("&h") + QString::number(number, 16).toUpper();
}

// The program's path as the registry gives it (which may be empty, or name no file), or none.
std::optional<QString> findSysInfoProgram(SysInfoPlatform& platform) {
    QString path;
    switch (GetKeyValue(platform, HKeyLocalMachine, SysInfoKey, SysInfoValue, path)) {
    case KeyValue::Read:
        return path;
    case KeyValue::Unusable:
        return std::nullopt;
    case KeyValue::Missing:
        break;
    }
    QString folder;
    if (GetKeyValue(platform, HKeyLocalMachine, LocationKey, LocationValue, folder) !=
        KeyValue::Read)
        return std::nullopt;
    path = folder + SysInfoProgram;
    return platform.ordinaryFileExists(path) ? std::optional(path) : std::nullopt;
}

} // namespace

KeyValue GetKeyValue(SysInfoPlatform& platform, quint32 rootKey, const QString& keyPath,
                     const QString& valueName, QString& valueText) {
    RegistryKey key = 0;
    if (platform.openKey(rootKey, keyPath.toLocal8Bit(), KeyRead, key) != RegistrySuccess) {
        valueText.clear();
        return KeyValue::Missing;
    }
    const KeyCloser closer(platform, key);

    QByteArray buffer(RegistryBufferSize, '\0');
    quint32 size = RegistryBufferSize;
    quint32 type = 0;
    if (platform.queryValue(key, valueName.toLocal8Bit(), type, buffer.data(), size) !=
        RegistrySuccess) {
        valueText.clear();
        return KeyValue::Missing;
    }

    const qsizetype end = buffer.indexOf('\0');
    if (end < 0)
        return KeyValue::Unusable;
    if (type == RegSz)
        valueText = QString::fromLocal8Bit(buffer.first(end));
    else if (type == RegDword)
        valueText = dwordText(buffer);
    return KeyValue::Read;
}

bool startSysInfoProgram(SysInfoPlatform& platform) {
    const std::optional<QString> program = findSysInfoProgram(platform);
    return program && platform.startProgram(*program);
}

} // namespace rigtune
