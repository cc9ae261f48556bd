// Small helpers shared by the tests.
#pragma once

#include "setupwriter.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QString>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace testutil {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The canonical file for a record; empty, with a warning, when the record cannot be written.
inline QByteArray encoded(const rigtune::SetupRecord& record) {
    QByteArray bytes;
    if (const rigtune::SetupResult result = rigtune::EncodeSetupFile(record, bytes); !result.ok())
        qWarning() << result.errorString();
    return bytes;
}

inline QByteArray golden(const QString& name) {
    return readBytes(QStringLiteral(RIGTUNE_TEST_DATA "/") + name);
}

#ifdef Q_OS_UNIX
// For the length of a command: as root, the unprivileged user "nobody", since permission checks
// mean nothing to root; and a limit on file size, which stands in for a full disk. Only the
// effective ids change, so root takes its own back afterwards.
class Restricted {
public:
    Restricted(bool unprivileged, rlim_t fileSizeLimit) : dropped_(unprivileged && !geteuid()) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
            const rlimit limit{fileSizeLimit, saved_.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (dropped_ && (setegid(65534) != 0 || seteuid(65534) != 0))
            qFatal("cannot act as nobody");
    }
    ~Restricted() {
        if (dropped_ && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot return to root");
        setrlimit(RLIMIT_FSIZE, &saved_);
    }

private:
    rlimit saved_{};
    const bool dropped_;
};
#else
// The cases that need a file-size limit or another user are Unix's own.
struct Restricted {
    Restricted(bool unprivileged, qint64 fileSizeLimit) {
        if (unprivileged || fileSizeLimit > 0)
            qFatal("a Unix-only restriction was asked for");
    }
};
#endif

} // namespace testutil
