// Linux and other Unix systems: no registry, no ANSI code page and no file dialog of the system's
// own to drive.
#include "system.h"

#include <QFileInfo>

namespace rigtune::os {

qint32 openRegistryKey(quint32, const QByteArray&, quint32, RegistryKey& key) {
    key = 0;
    return RegistryUnavailable;
}

qint32 queryRegistryValue(RegistryKey, const QByteArray&, quint32&, char*, quint32&) {
    return RegistryUnavailable;
}

qint32 closeRegistryKey(RegistryKey) {
    return RegistryUnavailable;
}

bool isOrdinaryFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

std::optional<CodePageTable> ansiCodePage() {
    return std::nullopt;
}

FileDialogAnswer showFileDialog(const FileDialogRequest&) {
    return {}; // none of the system's own to drive: Qt's dialog serves
}

} // namespace rigtune::os
