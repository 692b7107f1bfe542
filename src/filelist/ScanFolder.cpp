#include "filelist/ScanFolder.h"

#include "filelist/NaturalOrder.h"
#include "platform/FileName.h"
#include "platform/FolderReader.h"

#include <QSet>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace filelist {

namespace {

// The files and (with `recursive`) the folders of an open folder.
void listFolder(platform::FolderReader& dir, bool recursive, QStringList& files, QStringList& folders,
                ScanControl* control)
{
    while (const char* entry = dir.next()) {
        const QByteArray name(entry);
        struct stat st {};
        // A link to a file counts as that file; a link to a folder is never
        // entered, so the walk stays in the tree.
        if (::fstatat(dir.fd(), entry, &st, 0) != 0)
            continue;
        if (S_ISREG(st.st_mode)) {
            files << platform::fromNativeName(name);
            if (control)
                control->found.fetch_add(1, std::memory_order_relaxed);
        } else if (recursive && S_ISDIR(st.st_mode) && !name.startsWith('.')) {
            struct stat link {};
            if (::fstatat(dir.fd(), entry, &link, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(link.st_mode))
                folders << platform::fromNativeName(name);
        }
    }
}

// Lists one folder and, with `recursive`, the folders below it. Names are
// read as bytes, so a name that is not valid UTF-8 is listed too (and can be
// opened again).
void scan(const QString& root, const QString& relative, bool recursive, QSet<quint64>& seen, QStringList& names,
          ScanControl* control)
{
    if (control && control->stop.load(std::memory_order_relaxed))
        return;
    const QString folder = relative.isEmpty() ? root : root + u'/' + relative;
    QStringList files;
    QStringList folders;
    {
        platform::FolderReader dir(platform::nativeName(folder));
        if (!dir.isOpen())
            return;
        // A folder's identity on disk, so that a bind mount or a hard-linked
        // folder is entered once.
        struct stat self {};
        if (::fstat(dir.fd(), &self) != 0 || seen.contains((quint64(self.st_dev) << 40) ^ quint64(self.st_ino)))
            return;
        seen.insert((quint64(self.st_dev) << 40) ^ quint64(self.st_ino));
        listFolder(dir, recursive, files, folders, control);
    }

    std::sort(files.begin(), files.end(), naturalLess);
    std::sort(folders.begin(), folders.end(), naturalLess);
    const QString prefix = relative.isEmpty() ? QString() : relative + u'/';
    for (const QString& name : std::as_const(files))
        names << prefix + name;
    for (const QString& name : std::as_const(folders))
        scan(root, prefix + name, recursive, seen, names, control);
}

} // namespace

namespace {

QStringList scanFrom(const QString& folder, bool recursive, ScanControl* control)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    QString root = folder;
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    QSet<quint64> seen;
    scan(root, QString(), recursive, seen, names, control);
    return names;
}

} // namespace

QStringList ScanFolderNames(const QString& folder, bool recursive)
{
    return scanFrom(folder, recursive, nullptr);
}

QStringList ScanFolderNames(const QString& folder, bool recursive, ScanControl& control)
{
    return scanFrom(folder, recursive, &control);
}

QString ScanFolder(const QString& folder)
{
    QString result;
    const QStringList names = ScanFolderNames(folder);
    for (const QString& name : names)
        result += u'*' + name;
    return result;
}

} // namespace filelist
