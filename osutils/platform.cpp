#include "platform.h"

#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace rigtune {

namespace {

#ifdef Q_OS_WIN

// Root keys are sign-extended into a handle, as the system's own HKEY_* constants are.
HKEY rootHandle(quint32 rootKey) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(rootKey)));
}

HKEY keyHandle(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

class NativeRegistry {
public:
    static qint32 open(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                       RegistryKey& key) {
        HKEY opened = nullptr;
        const LONG result =
            RegOpenKeyExA(rootHandle(rootKey), path.constData(), 0, accessMask, &opened);
        key = reinterpret_cast<RegistryKey>(opened);
        return result;
    }

    static qint32 query(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                        quint32& size) {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG result = RegQueryValueExA(keyHandle(key), name.constData(), nullptr, &valueType,
                                             reinterpret_cast<BYTE*>(data), &valueSize);
        type = valueType;
        size = valueSize;
        return result;
    }

    static qint32 close(RegistryKey key) { return RegCloseKey(keyHandle(key)); }
};

bool isOrdinaryFile(const QString& path) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
    constexpr DWORD notOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & notOrdinary) == 0;
}

#else

// No registry here: every key is missing, so nothing is ever read or closed.
constexpr qint32 ErrorFileNotFound = 2;
constexpr qint32 ErrorInvalidHandle = 6;

class NativeRegistry {
public:
    static qint32 open(quint32, const QByteArray&, quint32, RegistryKey& key) {
        key = 0;
        return ErrorFileNotFound;
    }
    static qint32 query(RegistryKey, const QByteArray&, quint32&, char*, quint32&) {
        return ErrorInvalidHandle;
    }
    static qint32 close(RegistryKey) { return ErrorInvalidHandle; }
};

bool isOrdinaryFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

#endif

class NativePlatform final : public Platform {
public:
    qint32 openKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                   RegistryKey& key) override {
        return NativeRegistry::open(rootKey, path, accessMask, key);
    }
    qint32 queryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        return NativeRegistry::query(key, name, type, data, size);
    }
    qint32 closeKey(RegistryKey key) override { return NativeRegistry::close(key); }

    bool ordinaryFileExists(const QString& path) override { return isOrdinaryFile(path); }

    bool startProgram(const QString& program) override {
        // An empty argument list: the path is the program, blanks and all.
        return !program.isEmpty() && QProcess::startDetached(program, {});
    }
};

} // namespace

Platform& nativePlatform() {
    static NativePlatform platform;
    return platform;
}

} // namespace rigtune
