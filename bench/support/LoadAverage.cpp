#include "support/LoadAverage.h"

#include <QFile>

namespace bench {

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readLine()).trimmed();
}

} // namespace bench
