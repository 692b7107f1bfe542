#include "cli/OptionsFile.h"

#include "cli/PathList.h"
#include "platform/FileName.h"

namespace cli {

std::optional<QStringList> parseOptionsFile(const QByteArray& bytes, QString& error)
{
    QStringList assignments;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        const QString assignment = QString::fromUtf8(line);
        if (assignment.indexOf(u'=') <= 0) {
            error = QStringLiteral("line %1 is not NAME=VALUE").arg(i + 1);
            return std::nullopt;
        }
        assignments << assignment;
    }
    return assignments;
}

std::optional<QStringList> readOptionsFile(const QString& file, QString& error)
{
    const std::optional<QByteArray> bytes = readArgumentFile(file, error);
    if (!bytes)
        return std::nullopt;
    QString problem;
    std::optional<QStringList> assignments = parseOptionsFile(*bytes, problem);
    if (!assignments)
        error = QStringLiteral("%1: %2").arg(platform::displayName(file), problem);
    return assignments;
}

} // namespace cli
