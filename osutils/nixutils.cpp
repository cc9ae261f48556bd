// Linux and other Unix systems: regular files read through the system's own calls; no registry,
// no ANSI code page and no file dialog of the system's own to drive.
#include "system.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
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

bool isOrdinaryFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

namespace {

FileRead refused(FileRead::Outcome outcome) {
    return {outcome, {}, {}};
}

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

// Reads the open file to its end, or until it proves longer than maxSize. expected is its size as
// the system gave it: a file that tells it ends where a read comes back short, so no read is spent
// on finding the end; a file under /proc says 0 and is read until a read finds nothing.
FileRead readOpenFile(int fd, qint64 expected, qint64 maxSize) {
    const qint64 limit = maxSize + 1;
    qint64 capacity = std::clamp<qint64>(expected + 1, 4096, limit);
    qint64 used = 0;
    QByteArray bytes(capacity, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd, bytes.data() + used, static_cast<size_t>(capacity - used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(errno);
        used += got;
        if (got == 0 || (expected > 0 && used >= expected && used < capacity))
            break;
        if (used == limit)
            return refused(FileRead::Outcome::TooLarge);
        if (used == capacity)
            bytes.resize(capacity = std::min(capacity * 2, limit));
    }
    bytes.resize(used);
    return {FileRead::Outcome::Read, std::move(bytes), {}};
}

} // namespace

FileRead readRegularFile(const QString& path, qint64 maxSize) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? refused(FileRead::Outcome::Missing)
                                                   : failed(errno);
    if (const auto outcome = judged(status, maxSize); outcome != FileRead::Outcome::Read)
        return refused(outcome);
    // Looked at again once open, in case something else took the name in between; O_NONBLOCK
    // keeps that open from waiting on a FIFO and does nothing to a regular file.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(errno);
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &status) != 0)
        return failed(errno);
    if (const auto outcome = judged(status, maxSize); outcome != FileRead::Outcome::Read)
        return refused(outcome);
    return readOpenFile(fd, status.st_size, maxSize);
}

std::optional<CodePageTable> ansiCodePage() {
    return std::nullopt;
}

FileDialogAnswer showFileDialog(const FileDialogRequest&) {
    return {}; // none of the system's own to drive: Qt's dialog serves
}

} // namespace rigtune::os
