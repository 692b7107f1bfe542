#include "filelist/ScanFolder.h"

#include <QDir>
#include <QDirIterator>

QStringList ScanFolderNames(const QString& folder)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    // QDirIterator reads the entries in the order the file system gives them.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    return names;
}

QString ScanFolder(const QString& folder)
{
    QString result;
    const QStringList names = ScanFolderNames(folder);
    for (const QString& name : names)
        result += u'*' + name;
    return result;
}
