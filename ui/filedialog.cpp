#include "filedialog.h"

#include "messages.h"
#include "texts.h"

#include <QDir>
#include <QFileDialog>

namespace rigtune {

namespace {

using Answer = os::FileDialogAnswer;

const QString FileTypeDescription = QStringLiteral("Setup Files (*.str)");
const QString FileExtension = QStringLiteral("str");

CommonDialog::Hook& hook() {
    static CommonDialog::Hook instance;
    return instance;
}

Answer runQtDialog(QWidget* parent, CommonDialog::Mode mode, const QString& startName) {
    QFileDialog dialog(parent);
    CommonDialog::prepare(dialog, mode, startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {Answer::Outcome::Cancelled, {}};
    return {Answer::Outcome::Chosen, dialog.selectedFiles().constFirst()};
}

// The system's own dialog where the program drives it, else Qt's.
Answer runDialog(QWidget* parent, CommonDialog::Mode mode, const QString& startName) {
    using Kind = os::FileDialogRequest::Kind;
    const os::FileDialogRequest request{mode == CommonDialog::Mode::Open ? Kind::Open : Kind::Save,
                                        parent ? parent->window()->winId() : 0, FileTypeDescription,
                                        FileExtension, startName};
    const Answer answer = os::showFileDialog(request);
    if (answer.outcome == Answer::Outcome::Unavailable)
        return runQtDialog(parent, mode, startName);
    return answer;
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
    const Answer answer = hook() ? hook()(mode, fileName_) : runDialog(parent, mode, fileName_);
    switch (answer.outcome) {
    case Answer::Outcome::Chosen:
        if (answer.path.isEmpty())
            return false;
        fileName_ = answer.path;
        return true;
    case Answer::Outcome::NotInFileSystem:
        showMessage(parent, NotOnDisk.arg(answer.path));
        return false;
    case Answer::Outcome::Cancelled:
    case Answer::Outcome::Unavailable:
        break;
    }
    return false;
}

} // namespace rigtune
