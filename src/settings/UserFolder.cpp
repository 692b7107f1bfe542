#include "settings/UserFolder.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <unistd.h>

namespace settings::userfolder {

namespace {

// The home folder, or empty when it gives no useful form ("/" would make
// every absolute path look like one of the user's).
QString home()
{
    const QString path = platform::homeFolder();
    return path == QLatin1String("/") ? QString() : path;
}

// A writable folder the user can also enter, by the user's own rights.
bool writableFolder(const QString& path)
{
    return platform::isFolder(path) && ::access(platform::nativeName(path).constData(), W_OK | X_OK) == 0;
}

} // namespace

QString toStoredForm(const QString& folder)
{
    const QString own = home();
    if (own.isEmpty())
        return folder;
    if (folder == own)
        return QStringLiteral("~");
    if (folder.startsWith(own + u'/'))
        return u'~' + folder.mid(own.size());
    return folder;
}

QString fromStoredForm(const QString& text)
{
    if (text != QLatin1String("~") && !text.startsWith(QLatin1String("~/")))
        return text;
    const QString own = home();
    return own.isEmpty() ? QStringLiteral("/") + text.mid(2) : own + text.mid(1);
}

bool usable(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    if (path.isEmpty())
        return false;
    if (platform::pathTaken(path))
        return writableFolder(path);
    return writableFolder(platform::Path(platform::absolutePath(path)).parent().toString());
}

} // namespace settings::userfolder
