#include "platform/OpenFileAnswer.h"

#include "platform/Path.h"

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
    Path folder = Path(absolutePaths.front()).parent();
    for (const QString& path : absolutePaths) {
        while (!Path(path).relativeTo(folder)) {
            const Path up = folder.parent();
            if (up == folder)
                return -1; // relative paths of different folders
            folder = up;
        }
    }
    // The folder (the root with its "/"), NUL; each relative path and NUL;
    // the closing NUL.
    qsizetype length = folder.toString().size() + 1;
    for (const QString& path : absolutePaths)
        length += Path(path).relativeTo(folder)->size() + 1;
    return length + 1;
}

} // namespace platform
