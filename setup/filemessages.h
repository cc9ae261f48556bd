// The message for a file that cannot be opened or saved, from the texts of fileerrors.h, with the
// path written as the system writes it.
#pragma once

#include "fileerrors.h"

#include <QString>

namespace rigtune {

// The path with the system's own separators.
QString nativePath(const QString& path);

QString cannotOpenMessage(const QString& path, const QString& reason);
QString cannotSaveMessage(const QString& path, const QString& reason);

} // namespace rigtune
