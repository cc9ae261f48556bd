// Finding the system's information program through the registry and starting it, for the About
// box's System Info button. Portable: the system itself is reached only through Platform.
#pragma once

#include "platform.h"

#include <QString>
#include <stdexcept>

namespace rigtune {

inline const QString SysInfoUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");

// The registry gives values through a buffer of this many bytes.
inline constexpr int RegistryBufferSize = 1024;

// A value that filled the whole buffer with no NUL after it: its end is unknown.
class RegistryValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a value under rootKey as text: a string up to its first NUL, a number as "&h" and its
// hexadecimal digits; a value of another type leaves valueText as it was. A missing key or value
// (or one larger than the buffer) gives false and an empty valueText. Throws RegistryValueError
// for a value with no NUL in the buffer. The key is closed on every way out.
bool GetKeyValue(Platform& platform, quint32 rootKey, const QString& keyPath,
                 const QString& valueName, QString& valueText);

// Finds the system's information program and starts it. False when it cannot be found or started,
// whatever went wrong on the way: the caller then tells the user SysInfoUnavailable. Never throws.
bool startSysInfoProgram(Platform& platform);

} // namespace rigtune
