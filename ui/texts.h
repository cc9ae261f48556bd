// The texts of the windows that more than one place needs: the windows themselves, the tests, and
// the scripts that drive the program, which read them from texts.sh (CMake writes it from the
// constants of this form in this file, setup/fileerrors.h and osutils/sysinfo.h).
#pragma once

#include <QString>

namespace rigtune {

// The windows' texts are as the program was designed, exactly as they stand, odd ones included:
// the About caption's "Rigtnue", the sheet title's trailing blank. Players and their scripts look
// for them as they are: do not correct them (tests/data/texts.txt holds every text the windows
// show). The caption names the version, which CMake checks against the project's.
inline const QString ApplicationTitle = QStringLiteral("Rigtune");
inline const QString MainWindowTitle = QStringLiteral("Gravlund Setup Editor");
inline const QString AboutCaption = QStringLiteral("About Rigtnue 1.0");
inline const QString SysInfoUnavailable =
    QStringLiteral("System Information Is Unavailable At This Time");
inline const QString SheetTitle = QStringLiteral("Gravlund Settings ");

// A place the system's file dialog let through that has no path on a disk; %1 is its name.
inline const QString NotOnDisk = QStringLiteral(
    "\"%1\" is not on a disk. Set-up files can be opened and saved only in a folder on a disk.");

// Printing: the message, and its reasons; %1 names the printer.
inline const QString NotPrinted = QStringLiteral("The settings sheet could not be printed: %1");
inline const QString NoDefaultPrinter =
    QStringLiteral("there is no default printer. Set one up, then print again.");
inline const QString PrinterCannotStart = QStringLiteral("%1 could not start a page.");
inline const QString PrinterFailed = QStringLiteral("%1 reported an error.");

} // namespace rigtune
