// What finding and starting the system-information program needs of the operating system: the
// registry, a test for an ordinary file and starting a program. An interface, so that tests put a
// registry and programs in memory in its place.
#pragma once

#include "system.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace rigtune {

using os::RegistryKey;
using os::RegistrySuccess;

// Registry root keys are 32-bit handle values.
inline constexpr quint32 HKeyLocalMachine = 0x80000002;

// Read rights only (query value, enumerate subkeys, notify, read control): all this program does
// is read, and wider rights are refused to a standard user.
inline constexpr quint32 KeyRead = 0x20019;

// The value types read as text.
inline constexpr quint32 RegSz = 1;
inline constexpr quint32 RegDword = 4;

class SysInfoPlatform {
public:
    virtual ~SysInfoPlatform() = default;

    // As os::openRegistryKey, os::queryRegistryValue and os::closeRegistryKey.
    virtual qint32 openKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                           RegistryKey& key) = 0;
    virtual qint32 queryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                              quint32& size) = 0;
    virtual qint32 closeKey(RegistryKey key) = 0;

    // True when an ordinary file (not hidden, not a system file, not a folder) is at path.
    virtual bool ordinaryFileExists(const QString& path) = 0;

    // Starts the program at this path, with no arguments, and does not wait for it. The path is
    // the program itself, never a command line to split. False when it cannot be started.
    virtual bool startProgram(const QString& program) = 0;
};

// The operating system's own.
SysInfoPlatform& nativeSysInfoPlatform();

} // namespace rigtune
