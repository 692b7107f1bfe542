#include "loudness/ReplayGainFields.h"

#include <algorithm>
#include <cmath>

namespace loudness {

int r128Gain(double decibels)
{
    return static_cast<int>(std::clamp(std::lround(decibels * 256.0), -32768L, 32767L));
}

QList<tags::TagField> ReplayGainFields(tags::TagFormat format, GainScope scope, const LoudnessFigures& figures)
{
    if (!figures.measurable())
        return {};
    const QString which = scope == GainScope::Track ? QStringLiteral("TRACK") : QStringLiteral("ALBUM");
    if (format == tags::TagFormat::Opus)
        return {{QStringLiteral("R128_%1_GAIN").arg(which),
                 QString::number(r128Gain(kOpusReference - figures.integrated))}};

    const double gain = kReplayGainReference - figures.integrated;
    // Signed, two decimals, " dB": the form players parse.
    const QString gainText =
        (gain >= 0 ? QStringLiteral("+") : QString()) + QString::number(gain, 'f', 2) + QStringLiteral(" dB");
    const QString peakText = QString::number(figures.truePeak, 'f', 6);
    QString gainName = QStringLiteral("REPLAYGAIN_%1_GAIN").arg(which);
    QString peakName = QStringLiteral("REPLAYGAIN_%1_PEAK").arg(which);
    if (format == tags::TagFormat::Mp4 || format == tags::TagFormat::Wma) {
        gainName = gainName.toLower();
        peakName = peakName.toLower();
    }
    return {{gainName, gainText}, {peakName, peakText}};
}

} // namespace loudness
