// Messages for file failures, shared by the reader and the writer so they read alike: %1 is the
// file's path, %2 the reason.
#pragma once

#include <QDir>
#include <QString>

namespace rigtune {

inline const QString CannotOpen = QStringLiteral("Cannot open \"%1\": %2");
inline const QString CannotSave = QStringLiteral("Cannot save \"%1\": %2");

// Reasons that both directions give.
inline const QString NotARegularFile = QStringLiteral("it is not a regular file.");
inline const QString TooLargeForASetupFile =
    QStringLiteral("the file is too large to be a set-up file.");

inline QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

inline QString cannotOpenMessage(const QString& path, const QString& reason) {
    return CannotOpen.arg(nativePath(path), reason);
}

inline QString cannotSaveMessage(const QString& path, const QString& reason) {
    return CannotSave.arg(nativePath(path), reason);
}

} // namespace rigtune
