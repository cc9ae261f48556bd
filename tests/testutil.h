// Small helpers shared by the tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

inline QByteArray golden(const char* name) {
    return readBytes(QStringLiteral(RIGTUNE_TEST_DATA "/") + QLatin1String(name));
}

// Runs body in a child process and returns whether it returned true there. Permission checks
// mean nothing to root, so as root the child first becomes the unprivileged user "nobody"; a
// limit on file size (in bytes, 0 for none) stands in for a full disk.
inline bool inChildProcess(const std::function<bool()>& body, bool unprivileged,
                           rlim_t fileSizeLimit = 0) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace testutil
