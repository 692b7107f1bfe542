#include "platform/Path.h"

namespace platform {

QString Path::fileName() const
{
    return m_text.mid(m_text.lastIndexOf(u'/') + 1);
}

Path Path::parent() const
{
    const qsizetype slash = m_text.lastIndexOf(u'/');
    if (slash < 0)
        return Path(QStringLiteral("."));
    if (slash == 0)
        return Path(QStringLiteral("/"));
    return Path(m_text.left(slash));
}

QString Path::extension() const
{
    const QString name = fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

QString Path::stem() const
{
    const QString name = fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot <= 0 ? name : name.left(dot);
}

std::optional<QString> Path::relativeTo(const Path& base) const
{
    if (base.isEmpty())
        return std::nullopt;
    const QString prefix = base.m_text.endsWith(u'/') ? base.m_text : base.m_text + u'/';
    if (m_text.size() <= prefix.size() || !m_text.startsWith(prefix))
        return std::nullopt;
    return m_text.mid(prefix.size());
}

Path Path::operator/(const QString& relative) const
{
    if (m_text.isEmpty())
        return Path(relative);
    return Path(m_text.endsWith(u'/') ? m_text + relative : m_text + u'/' + relative);
}

Path commonFolder(const QList<Path>& folders)
{
    if (folders.isEmpty())
        return {};
    Path common = folders.front();
    for (const Path& folder : folders) {
        while (!(folder == common || folder.relativeTo(common))) {
            const Path up = common.parent();
            if (up == common)
                return common; // the root: nothing higher to hold them
            common = up;
        }
    }
    return common;
}

} // namespace platform
