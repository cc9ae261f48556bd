// The system's own file dialog, where the program drives it itself rather than through Qt: on
// Windows, as Qt sets that dialog up to add the first file type's extension to a typed name.
// Elsewhere there is none, and Qt's dialog serves.
#pragma once

#include <QString>
#include <QtGlobal>

namespace rigtune {

struct SystemFileDialog {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    // The native id of the window the dialog is modal over; 0 for none.
    quintptr owner = 0;
    // The one file type it shows: files with this extension (no dot), under this description.
    QString typeDescription;
    QString extension;
    // The full path it starts from; when empty, the working folder and no name.
    QString startName;
};

struct SystemFileDialogAnswer {
    enum class Outcome { Chosen, Cancelled, Unavailable };
    Outcome outcome = Outcome::Unavailable;
    QString path; // when chosen: the full path, with '/' as the separator
};

// Shows the dialog and returns when the user has chosen a file or cancelled. The name is taken
// as typed, with no extension added; an existing file is taken without a question; the open
// dialog lets a name through that does not exist. Unavailable where the system has no such
// dialog, or it could not be set up: nothing was shown.
SystemFileDialogAnswer showSystemFileDialog(const SystemFileDialog& dialog);

} // namespace rigtune
