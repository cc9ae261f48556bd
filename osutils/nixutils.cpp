// Linux and other Unix systems: no registry, no ANSI code page and no file dialog of the system's
// own to drive; printing through CUPS.
#include "system.h"

#include <QFileInfo>
#include <cups/cups.h>

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

// Qt's CUPS engine hands the finished page to CUPS inside QPainter::end() and drops the answer, so
// a queue that refuses the job would pass for printed. libcups keeps that answer as this thread's
// last status.
bool printSystemTookLastJob() {
    const ipp_status_t status = cupsLastError();
    return status >= IPP_STATUS_OK && status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

} // namespace rigtune::os
