#include "dialogname.h"

#include <QFileInfo>

namespace rigtune::os {

namespace {

// The path without the extension the dialog added, where the name typed lacks it.
QString asTyped(const QString& chosen, const QString& typed, const QString& extension) {
    // A backslash in the box separates folders: no Windows name holds one.
    const QString typedName = QFileInfo(QString(typed).replace(u'\\', u'/')).fileName();
    const QString added = u'.' + extension;
    if (typedName.isEmpty() ||
        QFileInfo(chosen).fileName().compare(typedName + added, Qt::CaseInsensitive) != 0)
        return chosen;
    return chosen.chopped(added.size());
}

} // namespace

QString meantPath(const AcceptedName& accepted, const QString& extension) {
    // A file picked from the list is that file, under whatever name the list shows it.
    if (!accepted.pickedName.isEmpty() && accepted.boxText == accepted.pickedName)
        return accepted.chosen;
    return asTyped(accepted.chosen, accepted.boxText, extension);
}

} // namespace rigtune::os
