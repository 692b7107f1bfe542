#include "filelist/ScanFolder.h"

#include "filelist/NaturalOrder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <sys/stat.h>

namespace {

// A folder's identity on disk, so that a bind mount or a hard-linked folder is
// entered once.
quint64 folderKey(const QString& path, bool& ok)
{
    struct stat info {};
    ok = ::stat(QFile::encodeName(path).constData(), &info) == 0;
    return (quint64(info.st_dev) << 40) ^ quint64(info.st_ino);
}

void scan(const QString& root, const QString& relative, bool recursive, QSet<quint64>& seen, QStringList& names)
{
    const QString folder = relative.isEmpty() ? root : root + u'/' + relative;
    bool ok = false;
    const quint64 key = folderKey(folder, ok);
    if (!ok || seen.contains(key))
        return;
    seen.insert(key);

    QStringList files;
    QStringList folders;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            if (recursive && !info.isSymLink() && !info.fileName().startsWith(u'.'))
                folders << info.fileName();
        } else if (info.isFile()) {
            files << info.fileName();
        }
    }
    std::sort(files.begin(), files.end(), filelist::naturalLess);
    std::sort(folders.begin(), folders.end(), filelist::naturalLess);
    const QString prefix = relative.isEmpty() ? QString() : relative + u'/';
    for (const QString& name : std::as_const(files))
        names << prefix + name;
    for (const QString& name : std::as_const(folders))
        scan(root, prefix + name, recursive, seen, names);
}

} // namespace

QStringList ScanFolderNames(const QString& folder, bool recursive)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    QString root = folder;
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    QSet<quint64> seen;
    scan(root, QString(), recursive, seen, names);
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
