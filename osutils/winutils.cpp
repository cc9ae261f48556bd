// Windows: the registry, file attributes and the ANSI code page through the system's own calls.
#include "system.h"

#include <qt_windows.h>

namespace rigtune::os {

namespace {

// Root keys are sign-extended into a handle, as the system's own HKEY_* constants are.
HKEY rootHandle(quint32 rootKey) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(rootKey)));
}

HKEY keyHandle(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

} // namespace

qint32 openRegistryKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                       RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG result =
        RegOpenKeyExA(rootHandle(rootKey), path.constData(), 0, accessMask, &opened);
    key = reinterpret_cast<RegistryKey>(opened);
    return result;
}

qint32 queryRegistryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                          quint32& size) {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG result = RegQueryValueExA(keyHandle(key), name.constData(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(data), &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

qint32 closeRegistryKey(RegistryKey key) {
    return RegCloseKey(keyHandle(key));
}

bool isOrdinaryFile(const QString& path) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
    constexpr DWORD NotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & NotOrdinary) == 0;
}

std::optional<CodePageTable> ansiCodePage() {
    CPINFO info;
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1)
        return std::nullopt;
    CodePageTable page{QStringLiteral("windows-%1").arg(GetACP()), {}};
    for (std::size_t b = 0; b < page.characters.size(); ++b) {
        const char byte = static_cast<char>(b);
        wchar_t character = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &character, 1) != 1)
            return std::nullopt;
        page.characters[b] = static_cast<char16_t>(character);
    }
    return page;
}

bool printSystemTookLastJob() {
    return true; // Qt's Windows print engine reports a refused job itself
}

} // namespace rigtune::os
