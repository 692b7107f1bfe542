#include "filelist/AddFilesSelection.h"

#include "platform/Path.h"

namespace filelist::addfiles {

QStringList pathsInFolder(const QString& folder, const QStringList& names)
{
    const platform::Path inside(folder);
    QStringList paths;
    paths.reserve(names.size());
    for (const QString& name : names)
        paths << (inside / name).toString();
    return paths;
}

} // namespace filelist::addfiles
