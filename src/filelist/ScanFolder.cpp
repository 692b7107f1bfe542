#include "filelist/ScanFolder.h"

#include "platform/FileName.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

QStringList ScanFolderNames(const QString& folder)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    // Read as bytes, in the order the file system gives them, so that a name
    // that is not valid UTF-8 is listed too (and can be opened again).
    DIR* dir = ::opendir(platform::nativeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names << platform::fromNativeName(name);
    }
    ::closedir(dir);
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
