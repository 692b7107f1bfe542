#include "filelist/AddFilesSelection.h"

namespace filelist::addfiles {

QStringList pathsInFolder(const QString& folder, const QStringList& names)
{
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    QStringList paths;
    paths.reserve(names.size());
    for (const QString& name : names)
        paths << prefix + name;
    return paths;
}

} // namespace filelist::addfiles
