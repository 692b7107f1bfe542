#include "filelist/GridProgress.h"

#include <QLocale>
#include <algorithm>
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

namespace {

double channelLight(quint32 colour, int shift)
{
    const double value = double((colour >> shift) & 0xFF) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(quint32 colour)
{
    return 0.2126 * channelLight(colour, 16) + 0.7152 * channelLight(colour, 8) + 0.0722 * channelLight(colour, 0);
}

//! Each channel moved `share` of the way towards `target` (0 or 255).
quint32 towards(quint32 colour, double share, int target)
{
    quint32 moved = 0;
    for (const int shift : {16, 8, 0}) {
        const double value = double((colour >> shift) & 0xFF);
        moved |= quint32(std::lround(value + (target - value) * share)) << shift;
    }
    return moved;
}

} // namespace

double contrastRatio(quint32 first, quint32 second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

quint32 readableBar(quint32 bar, quint32 text)
{
    const int target = luminance(text) > 0.18 ? 0 : 255; // away from the text
    quint32 readable = bar;
    for (int step = 1; step <= 50 && contrastRatio(readable, text) < kLeastContrast; ++step)
        readable = towards(bar, step / 50.0, target);
    return readable;
}

} // namespace filelist::gridprogress
