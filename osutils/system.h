// What the program needs of the operating system beyond Qt, but for the print system's answer
// (printsystem.h). Each system has one source file of its own, chosen by CMake: winutils.cpp on
// Windows, nixutils.cpp elsewhere.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace rigtune::os {

// An open registry key, as the system hands it out.
using RegistryKey = quintptr;

// The registry's result for success; anything else is the system's error code. Where there is no
// registry, opening a key answers RegistryUnavailable.
inline constexpr qint32 RegistrySuccess = 0;
inline constexpr qint32 RegistryUnavailable = -1;

// Key paths and value names are 8-bit text in the system code page.
qint32 openRegistryKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                       RegistryKey& key);
// Reads the named value and its type into data, which holds size bytes; on success size becomes
// the number of bytes stored. A value larger than the buffer is an error.
qint32 queryRegistryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                          quint32& size);
qint32 closeRegistryKey(RegistryKey key);

// Whether Qt's list of the system's fonts may be loaded on another thread than the one that builds
// the windows, while they are being built.
bool fontListLoadsOnAnyThread();

// True when an ordinary file (not hidden, not a system file, not a folder) is at path.
bool isOrdinaryFile(const QString& path);

// A regular file read whole, or why not. Anything else at the path is refused before it is
// opened: opening a FIFO could block, and opening a device could act on it.
struct FileRead {
    enum class Outcome { Read, Missing, Folder, NotRegular, TooLarge, Failed };
    Outcome outcome = Outcome::Failed;
    QByteArray bytes; // when read
    QString error;    // when failed: the system's reason, as Qt words it
};
// Reads the regular file at path, refusing it (TooLarge) once it proves longer than maxSize bytes,
// without reading on. Outside Windows through the system's own calls: a set-up file is small, and
// the checks QFile makes of a file it has opened cost as much as reading it.
FileRead readRegularFile(const QString& path, qint64 maxSize);

// The system's 8-bit (ANSI) code page: its name and the character Windows reads for each byte.
// None where the system has no such page, or where it is not single-byte (UTF-8, double-byte).
struct CodePageTable {
    QString name; // "windows-1251"
    std::array<char16_t, 256> characters;
};
std::optional<CodePageTable> ansiCodePage();

// What the program asks of the system's own open or save dialog, where it drives that dialog
// itself rather than through Qt: on Windows, as Qt sets that dialog up to add the first file type's
// extension to a typed name. Elsewhere there is none, and Qt's dialog serves.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    quintptr owner = 0; // the native id of the window it is modal over; 0 for none
    // The one file type it shows: files with this extension (no dot), under this description.
    QString typeDescription;
    QString extension;
    QString startName; // the full path it starts from; when empty, the working folder, no name
};

struct FileDialogAnswer {
    // NotInFileSystem: the player chose a place that has no path on a disk (a phone, a library,
    // a folder inside a zip file), which no file can be read from or written to.
    enum class Outcome { Chosen, Cancelled, NotInFileSystem, Unavailable };
    Outcome outcome = Outcome::Unavailable;
    QString path; // when chosen: the full path, with '/' as the separator; else the place's name
};

// Shows the dialog, under the system's standard title, and returns when the user has chosen a
// file or cancelled. A typed name is taken as typed, with no extension added, and a file picked
// from the list as that file; an existing file is taken without a question; the open dialog lets
// a name through that does not exist. Unavailable where the system has no such dialog, or it could
// not be set up: nothing was shown.
FileDialogAnswer showFileDialog(const FileDialogRequest& request);

} // namespace rigtune::os
