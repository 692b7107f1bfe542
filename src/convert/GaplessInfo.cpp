#include "convert/GaplessInfo.h"

#include "tags/WriteTagFields.h"

namespace convert {

namespace {

// The fields after the length, always zero.
constexpr int kTrailingZeros = 8;

QString hex(std::int64_t value, int digits)
{
    return QStringLiteral(" %1")
        .arg(static_cast<qulonglong>(std::max<std::int64_t>(0, value)), digits, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

tags::TagField ITunesGaplessField(const engine::EncoderPadding& padding)
{
    QString value = hex(0, 8) + hex(padding.priming, 8) + hex(padding.padding, 8) + hex(padding.samples, 16);
    for (int i = 0; i < kTrailingZeros; ++i)
        value += hex(0, 8);
    return {QStringLiteral("iTunSMPB"), value};
}

bool WriteGaplessInfo(const QString& path, const engine::EncoderPadding& padding)
{
    return tags::WriteTagFields(path, tags::TagFormat::Mp4, {ITunesGaplessField(padding)});
}

QString GaplessInfoFailure()
{
    return QStringLiteral("the gapless playback field could not be written");
}

} // namespace convert
