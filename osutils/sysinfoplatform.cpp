#include "sysinfoplatform.h"

#include <QProcess>

namespace rigtune {

namespace {

class NativeSysInfoPlatform final : public SysInfoPlatform {
public:
    qint32 openKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                   RegistryKey& key) override {
        return os::openRegistryKey(rootKey, path, accessMask, key);
    }
    qint32 queryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        return os::queryRegistryValue(key, name, type, data, size);
    }
    qint32 closeKey(RegistryKey key) override { return os::closeRegistryKey(key); }

    bool ordinaryFileExists(const QString& path) override { return os::isOrdinaryFile(path); }

    bool startProgram(const QString& program) override {
        // An empty argument list: the path is the program, blanks and all.
        return !program.isEmpty() && QProcess::startDetached(program, {});
    }
};

} // namespace

SysInfoPlatform& nativeSysInfoPlatform() {
    static NativeSysInfoPlatform platform;
    return platform;
}

} // namespace rigtune
