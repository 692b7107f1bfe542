#include "filelist/GridProgress.h"

#include <QLocale>
#include <cmath>

namespace filelist::gridprogress {

std::optional<double> numericValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

int percent(double value)
{
    const double rounded = roundHalfEven(value);
    if (rounded <= 0)
        return 0;
    if (rounded >= 100)
        return 100;
    return int(rounded);
}

QString label(int percent)
{
    return QString::number(percent) + u'%';
}

int barWidth(int percent, int cellWidth)
{
    return int(roundHalfEven(double(percent) * cellWidth / 100.0));
}

} // namespace filelist::gridprogress
