#include "filedialog.h"

#include <QDir>
#include <QFileDialog>

namespace rigtune {

namespace {

CommonDialog::Hook& hook() {
    static CommonDialog::Hook instance;
    return instance;
}

std::optional<QString> runQtDialog(QWidget* parent, CommonDialog::Mode mode,
                                   const QStringList& nameFilters, const QString& startName) {
    QFileDialog dialog(parent);
    CommonDialog::prepare(dialog, mode, nameFilters, startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

void CommonDialog::setHook(Hook h) {
    hook() = std::move(h);
}

void CommonDialog::prepare(QFileDialog& dialog, Mode mode, const QStringList& nameFilters,
                           const QString& startName) {
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // The open dialog does not insist that a typed name exists, the save dialog does not ask
    // before replacing a file, and neither adds an extension: the commands take the name as given.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());
    dialog.setNameFilters(nameFilters);
    // Start from the name chosen last, or else the working folder: never from a folder that Qt
    // remembered from an earlier run, as the editor keeps nothing between runs.
    if (startName.isEmpty())
        dialog.setDirectory(QDir::currentPath());
    else
        dialog.selectFile(startName);
}

QStringList CommonDialog::qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; a description that shows them already
        // needs nothing more.
        filters << (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))
                        ? description
                        : description + QLatin1String(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

bool CommonDialog::show(QWidget* parent, Mode mode) {
    const std::optional<QString> chosen =
        hook() ? hook()(mode, fileName_)
               : runQtDialog(parent, mode, qtNameFilters(filter_), fileName_);
    if (!chosen || chosen->isEmpty())
        return false;
    fileName_ = *chosen;
    return true;
}

} // namespace rigtune
