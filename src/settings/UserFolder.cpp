#include "settings/UserFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace settings::userfolder {

namespace {

// The home folder, or empty when it gives no useful form ("/" would make
// every absolute path look like one of the user's).
QString home()
{
    const QString path = QDir::homePath();
    return path == QLatin1String("/") ? QString() : path;
}

// A writable folder the user can also enter, by the user's own rights.
bool writableFolder(const QString& path)
{
    return QFileInfo(path).isDir() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
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
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return writableFolder(path);
    return writableFolder(info.absolutePath());
}

} // namespace settings::userfolder
