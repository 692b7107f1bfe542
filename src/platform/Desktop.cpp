#include "platform/Desktop.h"

namespace platform {

QString Desktop::openFileAnswer(const QStringList& chosenPaths)
{
    QString cancel = QStringLiteral("Cancel");
    if (chosenPaths.isEmpty())
        return cancel;
    if (chosenPaths.size() == 1)
        return chosenPaths.front().size() + 1 <= kOpenFileAnswerLimit ? chosenPaths.front() : cancel;

    // The common folder: the longest run of whole components shared by all.
    QString folder = chosenPaths.front().left(chosenPaths.front().lastIndexOf(u'/') + 1);
    for (const QString& path : chosenPaths) {
        while (!folder.isEmpty() && !path.startsWith(folder))
            folder = folder.size() > 1 ? folder.left(folder.lastIndexOf(u'/', folder.size() - 2) + 1) : QString();
    }
    if (folder.isEmpty())
        return cancel;
    QString answer = folder.size() > 1 ? folder.chopped(1) : folder;
    answer += QChar(0);
    for (const QString& path : chosenPaths)
        answer += path.mid(folder.size()) + QChar(0);
    answer += QChar(0);
    return answer.size() <= kOpenFileAnswerLimit ? answer : cancel;
}

} // namespace platform
