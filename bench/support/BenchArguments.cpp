#include "support/BenchArguments.h"

#include <algorithm>

namespace bench {

BenchArguments::BenchArguments(const QStringList& arguments) : m_arguments(arguments.mid(1)) {}

int BenchArguments::number(const QString& name, int fallback, int minimum) const
{
    bool ok = false;
    const int value = text(name).toInt(&ok);
    return ok ? std::max(minimum, value) : fallback;
}

QString BenchArguments::text(const QString& name) const
{
    const qsizetype at = m_arguments.indexOf(name);
    return at >= 0 && at + 1 < m_arguments.size() ? m_arguments[at + 1] : QString();
}

bool BenchArguments::flag(const QString& name) const
{
    return m_arguments.contains(name);
}

} // namespace bench
