#include "support/Folders.h"

#include <QDir>

namespace bench {

void emptyFolder(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

} // namespace bench
