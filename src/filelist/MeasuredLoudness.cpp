#include "filelist/MeasuredLoudness.h"

#include "lang/StringLookup.h"

#include <cmath>

namespace filelist {

namespace {

QString number(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals)
                                : (value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf"));
}

} // namespace

QString MeasuredLoudness::text() const
{
    return QStringLiteral("%1 LUFS, %2 dBTP").arg(number(integrated, 2), number(truePeak, 2));
}

QString MeasuredLoudness::tooltip() const
{
    return lang::caption(lang::StringId::LoudnessTip).arg(number(integrated, 1), number(truePeak, 1));
}

} // namespace filelist
