// Finding the system's information program through the registry and starting it, for the About
// box's System Info button. Portable: it reaches the system only through SysInfoPlatform.
#pragma once

#include "sysinfoplatform.h"

#include <QString>

namespace rigtune {

// Where the registry names the program (under HKEY_LOCAL_MACHINE): its path, or else the folder
// that holds it.
inline const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString SysInfoValue = QStringLiteral("PATH");
inline const QString LocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString LocationValue = QStringLiteral("MSINFO");

// What reading a registry value gave.
enum class KeyValue {
    Read,     // valueText holds the value
    Missing,  // no such key or value, or one larger than the buffer; valueText is empty
    Unusable, // it fills the buffer with no NUL after it, so where it ends is unknown
};

// Reads a value under rootKey as text: a string up to its first NUL, a number as "&h" and its
// hexadecimal digits; a value of another type is read but leaves valueText as it was. The key is
// opened with read rights only and closed on every way out.
KeyValue GetKeyValue(SysInfoPlatform& platform, quint32 rootKey, const QString& keyPath,
                     const QString& valueName, QString& valueText);

// Finds the system's information program and starts it: the path the first key names, taken as
// it stands, or else the program in the folder the second key names, when it is there. False when
// it cannot be found or started, or a value on the way is unusable.
bool startSysInfoProgram(SysInfoPlatform& platform);

} // namespace rigtune
