#include "filelist/AddFilesSelection.h"

namespace filelist::addfiles {

QStringList selectionPaths(QString selection)
{
    const QChar nul(0);
    selection.replace(QString(2, nul), QString());
    if (selection.isEmpty())
        return {};
    QStringList items = selection.split(nul);
    if (items.size() == 1)
        return items;

    const QString& folder = items.front();
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    QStringList paths;
    paths.reserve(items.size() - 1);
    for (qsizetype i = 1; i < items.size(); ++i)
        paths << prefix + items[i];
    return paths;
}

QString folderSelection(const QString& folder, const QStringList& names)
{
    QString selection = folder;
    for (const QString& name : names)
        selection += QChar(0) + name;
    return selection;
}

} // namespace filelist::addfiles
