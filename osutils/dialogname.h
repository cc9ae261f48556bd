// Which file the player meant in the system's own file dialog. Its name box holds either a name the
// player typed (or the start name, accepted as it stands), or the name of a file picked from its
// list. A list that hides the extensions of known file types shows "race.str" as "race", and
// picking it puts "race" in the box; a dialog may also add its file type's extension to a typed
// name. Portable, so that each case can be tested anywhere.
#pragma once

#include <QString>

namespace rigtune::os {

struct AcceptedName {
    QString chosen;     // the full path the dialog returned
    QString boxText;    // the name box's text when the player accepted it
    QString pickedName; // the name the list last put in the box, as the list shows it; or empty
};

// The chosen path, but where the box holds a typed name, with no extension the dialog added to it.
QString meantPath(const AcceptedName& accepted, const QString& extension);

} // namespace rigtune::os
