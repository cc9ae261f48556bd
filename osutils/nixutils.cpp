// Linux and other Unix systems: regular files read through the system's own calls; no registry,
// no ANSI code page and no file dialog of the system's own to drive.
#include "fileread.h"
#include "system.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool fontListLoadsOnAnyThread() {
    return true;
}

bool isOrdinaryFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

namespace {

FileRead failed(int error) {
    return {FileRead::Outcome::Failed, {}, qt_error_string(error)};
}

// What is at a path, by its mode; Read for a regular file no longer than maxSize.
FileRead::Outcome judged(const struct stat& status, qint64 maxSize) {
    if (S_ISDIR(status.st_mode))
        return FileRead::Outcome::Folder;
    if (!S_ISREG(status.st_mode))
        return FileRead::Outcome::NotRegular;
    return status.st_size > maxSize ? FileRead::Outcome::TooLarge : FileRead::Outcome::Read;
}

// One read, taken up again where a signal broke into it.
qint64 readSome(int fd, char* buffer, qint64 size) {
    ssize_t got;
    do
        got = ::read(fd, buffer, static_cast<size_t>(size));
    while (got < 0 && errno == EINTR);
    return got;
}

} // namespace

FileRead readRegularFile(const QString& path, qint64 maxSize) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? refusedRead(FileRead::Outcome::Missing)
                                                   : failed(errno);
    if (const auto outcome = judged(status, maxSize); outcome != FileRead::Outcome::Read)
        return refusedRead(outcome);
    // Looked at again once open, in case something else took the name in between; O_NONBLOCK
    // keeps that open from waiting on a FIFO and does nothing to a regular file.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(errno);
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &status) != 0)
        return failed(errno);
    if (const auto outcome = judged(status, maxSize); outcome != FileRead::Outcome::Read)
        return refusedRead(outcome);
    return readOpenFile([fd](char* buffer, qint64 size) { return readSome(fd, buffer, size); },
                        [] { return qt_error_string(errno); }, status.st_size, maxSize);
}

std::optional<CodePageTable> ansiCodePage() {
    return std::nullopt;
}

FileDialogAnswer showFileDialog(const FileDialogRequest&) {
    return {}; // none of the system's own to drive: Qt's dialog serves
}

} // namespace rigtune::os
