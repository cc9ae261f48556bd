// Messages for file failures, shared by the reader and the writer so they read alike: %1 is the
// file's path, %2 the reason. filemessages.h composes them.
#pragma once

#include <QString>

namespace rigtune {

inline const QString CannotOpen = QStringLiteral("Cannot open \"%1\": %2");
inline const QString CannotSave = QStringLiteral("Cannot save \"%1\": %2");

// Reasons that both directions give.
inline const QString NotARegularFile = QStringLiteral("it is not a regular file.");
inline const QString TooLargeForASetupFile =
    QStringLiteral("the file is too large to be a set-up file.");

} // namespace rigtune
