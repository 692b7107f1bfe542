#include "platform/OpenFileAnswer.h"

namespace platform {

OpenFileAnswer OpenFileAnswer::chosen(const QStringList& absolutePaths)
{
    OpenFileAnswer answer;
    const qsizetype length = textLength(absolutePaths);
    if (!absolutePaths.isEmpty() && length >= 0 && length <= kLimit)
        answer.m_paths = absolutePaths;
    return answer;
}

qsizetype OpenFileAnswer::textLength(const QStringList& absolutePaths)
{
    if (absolutePaths.isEmpty())
        return 0;
    if (absolutePaths.size() == 1)
        return absolutePaths.front().size() + 1;

    // The common folder: the longest run of whole components shared by all.
    QString folder = absolutePaths.front().left(absolutePaths.front().lastIndexOf(u'/') + 1);
    for (const QString& path : absolutePaths) {
        while (!folder.isEmpty() && !path.startsWith(folder))
            folder = folder.size() > 1 ? folder.left(folder.lastIndexOf(u'/', folder.size() - 2) + 1) : QString();
    }
    if (folder.isEmpty())
        return -1;
    // The folder without its closing "/" (the root keeps it), NUL; each
    // relative path and NUL; the closing NUL.
    qsizetype length = (folder.size() > 1 ? folder.size() - 1 : folder.size()) + 1;
    for (const QString& path : absolutePaths)
        length += path.size() - folder.size() + 1;
    return length + 1;
}

} // namespace platform
