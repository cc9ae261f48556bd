// Messages for file failures, shared by the reader and the writer so they read alike.
#pragma once

#include <QDir>
#include <QString>

namespace rigtune {

inline QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

inline QString cannotOpenMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot open \"%1\": %2").arg(nativePath(path), reason);
}

inline QString cannotSaveMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot save \"%1\": %2").arg(nativePath(path), reason);
}

} // namespace rigtune
