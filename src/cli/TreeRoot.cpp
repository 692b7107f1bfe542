#include "cli/TreeRoot.h"

#include "cli/ConsoleText.h"
#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace cli {

namespace {

//! The real path of `path` (links and ".." resolved); nothing (errno kept)
//! when it cannot be resolved.
std::optional<QString> realPath(const QString& path)
{
    char resolved[PATH_MAX];
    if (!::realpath(platform::nativeName(path).constData(), resolved))
        return std::nullopt;
    return platform::fromNativeName(QByteArray(resolved));
}

} // namespace

std::optional<TreeRoot> TreeRoot::resolve(const QString& folder, QString& error)
{
    const std::optional<QString> real = realPath(absolutePath(folder));
    if (!real) {
        error =
            QStringLiteral("--tree-root %1: %2").arg(platform::displayName(folder), platform::systemErrorText(errno));
        return std::nullopt;
    }
    if (!isFolderPath(*real)) {
        error =
            QStringLiteral("--tree-root %1: %2").arg(platform::displayName(folder), platform::systemErrorText(ENOTDIR));
        return std::nullopt;
    }
    return TreeRoot(*real);
}

bool TreeRoot::contains(const QString& realPath) const
{
    if (m_path == QLatin1String("/"))
        return true;
    return realPath == m_path || realPath.startsWith(m_path + u'/');
}

TreeRoot::Place TreeRoot::place(const QString& path, bool isFolder, QString& spelled) const
{
    const QString absolute = absolutePath(path);
    QString folder = absolute;
    QString name;
    if (!isFolder) {
        const qsizetype slash = absolute.lastIndexOf(u'/');
        folder = slash <= 0 ? QStringLiteral("/") : absolute.left(slash);
        name = absolute.mid(slash + 1);
    }
    const std::optional<QString> real = realPath(folder);
    if (!real)
        return Place::Unknown;
    if (!contains(*real))
        return Place::Outside;
    spelled = name.isEmpty() ? *real : (real->endsWith(u'/') ? *real : *real + u'/') + name;
    return Place::Below;
}

} // namespace cli
