#include "filemessages.h"

#include <QDir>

namespace rigtune {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString cannotOpenMessage(const QString& path, const QString& reason) {
    return CannotOpen.arg(nativePath(path), reason);
}

QString cannotSaveMessage(const QString& path, const QString& reason) {
    return CannotSave.arg(nativePath(path), reason);
}

} // namespace rigtune
