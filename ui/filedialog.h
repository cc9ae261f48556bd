// The file dialog that Open and Save as share. It shows one file type, set-up files ("Setup Files
// (*.str)"), shows as an open or a save dialog, and keeps the name chosen last as the next
// dialog's starting name. It is the system's own dialog where the program drives one itself
// (os::showFileDialog), else Qt's.
#pragma once

#include "system.h"

#include <QString>
#include <functional>

class QFileDialog;
class QWidget;

namespace rigtune {

class CommonDialog {
public:
    enum class Mode { Open, Save };

    const QString& fileName() const { return fileName_; }

    // Modal; true when the user chose a file, which then becomes fileName(). A cancel leaves
    // fileName() as it was; so does a place with no path on a disk, which is said in a message.
    bool showOpen(QWidget* parent) { return show(parent, Mode::Open); }
    bool showSave(QWidget* parent) { return show(parent, Mode::Save); }

    // While a hook is set it answers in place of the dialog, as the system's own would. It is told
    // the mode and the name the dialog would start from.
    using Hook = std::function<os::FileDialogAnswer(Mode mode, const QString& startName)>;
    static void setHook(Hook hook);

    // Sets up Qt's dialog as the editor uses it.
    static void prepare(QFileDialog& dialog, Mode mode, const QString& startName);

private:
    bool show(QWidget* parent, Mode mode);

    QString fileName_;
};

} // namespace rigtune
