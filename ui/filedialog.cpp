#include "filedialog.h"

#include "system.h"

#include <QDir>
#include <QFileDialog>

namespace rigtune {

namespace {

const QString FileTypeDescription = QStringLiteral("Setup Files (*.str)");
const QString FileExtension = QStringLiteral("str");

CommonDialog::Hook& hook() {
    static CommonDialog::Hook instance;
    return instance;
}

std::optional<QString> runQtDialog(QWidget* parent, CommonDialog::Mode mode,
                                   const QString& startName) {
    QFileDialog dialog(parent);
    CommonDialog::prepare(dialog, mode, startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// The system's own dialog where the program drives it, else Qt's.
std::optional<QString> runDialog(QWidget* parent, CommonDialog::Mode mode,
                                 const QString& startName) {
    using Answer = os::FileDialogAnswer;
    const os::FileDialog request{
        mode == CommonDialog::Mode::Open ? os::FileDialog::Kind::Open : os::FileDialog::Kind::Save,
        parent ? parent->window()->winId() : 0, FileTypeDescription, FileExtension, startName};
    const Answer answer = os::showFileDialog(request);
    switch (answer.outcome) {
    case Answer::Outcome::Chosen:
        return answer.path;
    case Answer::Outcome::Cancelled:
        return std::nullopt;
    case Answer::Outcome::Unavailable:
        break;
    }
    return runQtDialog(parent, mode, startName);
}

} // namespace

void CommonDialog::setHook(Hook h) {
    hook() = std::move(h);
}

void CommonDialog::prepare(QFileDialog& dialog, Mode mode, const QString& startName) {
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // The open dialog does not insist that a typed name exists, the save dialog does not ask
    // before replacing a file, and neither adds an extension: the commands take the name as given.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());
    dialog.setNameFilter(FileTypeDescription);
    // Start from the name chosen last, or else the working folder: never from a folder that Qt
    // remembered from an earlier run, as the editor keeps nothing between runs.
    if (startName.isEmpty())
        dialog.setDirectory(QDir::currentPath());
    else
        dialog.selectFile(startName);
}

bool CommonDialog::show(QWidget* parent, Mode mode) {
    const std::optional<QString> chosen =
        hook() ? hook()(mode, fileName_) : runDialog(parent, mode, fileName_);
    if (!chosen || chosen->isEmpty())
        return false;
    fileName_ = *chosen;
    return true;
}

} // namespace rigtune
