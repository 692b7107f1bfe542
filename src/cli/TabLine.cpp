#include "cli/TabLine.h"

namespace cli {

QString tabField(const QString& field)
{
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar c : field) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (u == u'\t')
            escaped += QStringLiteral("\\t");
        else if (u == u'\n')
            escaped += QStringLiteral("\\n");
        else if (u == u'\r')
            escaped += QStringLiteral("\\r");
        else if (u < 0x20 || u == 0x7F)
            escaped += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

QString tabLine(const QStringList& fields)
{
    QStringList escaped;
    escaped.reserve(fields.size());
    for (const QString& field : fields)
        escaped << tabField(field);
    return escaped.join(u'\t') + u'\n';
}

} // namespace cli
