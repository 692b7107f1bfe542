#pragma once

// The independent references the loudness measure is tested against:
// libebur128 over samples decoded by ffmpeg, and ffmpeg's own ebur128
// filter. Header-only, so that only the tests that include it link
// libebur128.

#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ebur128.h>
#include <optional>
#include <vector>

namespace testsupport {

struct ReferenceLoudness {
    double integrated = 0; // LUFS
    double truePeak = 0;   // linear
    double samplePeak = 0; // linear
};

//! libebur128 over interleaved float samples; a mono signal counts as dual
//! mono, 5.1 and 7.1 leave their low-frequency channel out.
inline ReferenceLoudness libebur128Loudness(const std::vector<float>& samples, unsigned channels, unsigned long rate)
{
    ebur128_state* state =
        ebur128_init(channels, rate, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK);
    if (channels == 1)
        ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
    if (channels >= 6) {
        ebur128_set_channel(state, 3, EBUR128_UNUSED);
        for (unsigned c = 4; c < channels; ++c)
            ebur128_set_channel(state, c, c % 2 == 0 ? EBUR128_LEFT_SURROUND : EBUR128_RIGHT_SURROUND);
    }
    ebur128_add_frames_float(state, samples.data(), samples.size() / channels);
    ReferenceLoudness result;
    ebur128_loudness_global(state, &result.integrated);
    for (unsigned c = 0; c < channels; ++c) {
        double value = 0;
        ebur128_true_peak(state, c, &value);
        result.truePeak = std::max(result.truePeak, value);
        ebur128_sample_peak(state, c, &value);
        result.samplePeak = std::max(result.samplePeak, value);
    }
    ebur128_destroy(&state);
    return result;
}

//! What a program wrote on its standard output and error, together.
inline QByteArray programOutput(const QString& program, const QStringList& arguments,
                                QProcess::ProcessChannelMode mode = QProcess::SeparateChannels)
{
    QProcess process;
    process.setProcessChannelMode(mode);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return mode == QProcess::MergedChannels ? process.readAll() : process.readAllStandardOutput();
}

//! The file's samples as ffmpeg decodes them, with its rate and channels.
struct DecodedFile {
    std::vector<float> samples;
    unsigned channels = 0;
    unsigned long rate = 0;
};

inline std::optional<DecodedFile> decodeToFloat(const QString& path)
{
    const QStringList fields =
        QString::fromUtf8(programOutput(QStringLiteral("ffprobe"),
                                        {QStringLiteral("-v"), QStringLiteral("error"),
                                         QStringLiteral("-select_streams"), QStringLiteral("a:0"),
                                         QStringLiteral("-show_entries"), QStringLiteral("stream=sample_rate,channels"),
                                         QStringLiteral("-of"), QStringLiteral("csv=p=0"), path}))
            .trimmed()
            .split(u',', Qt::SkipEmptyParts);
    if (fields.size() != 2)
        return std::nullopt;
    DecodedFile file;
    file.rate = fields[0].toULong();
    file.channels = fields[1].toUInt();
    const QByteArray raw = programOutput(QStringLiteral("ffmpeg"),
                                         {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
                                          QStringLiteral("-f"), QStringLiteral("f32le"), QStringLiteral("-")});
    if (file.rate == 0 || file.channels == 0 || raw.isEmpty())
        return std::nullopt;
    file.samples.resize(std::size_t(raw.size()) / sizeof(float));
    std::memcpy(file.samples.data(), raw.constData(), file.samples.size() * sizeof(float));
    return file;
}

//! libebur128 over the file as ffmpeg decodes it.
inline std::optional<ReferenceLoudness> libebur128Loudness(const QString& path)
{
    const std::optional<DecodedFile> file = decodeToFloat(path);
    if (!file)
        return std::nullopt;
    return libebur128Loudness(file->samples, file->channels, file->rate);
}

//! The integrated loudness `ffmpeg -af ebur128` reports (to 0.1 LU), with a
//! mono file measured as dual mono.
inline std::optional<double> ffmpegIntegrated(const QString& path, bool dualMono)
{
    const QString filter = dualMono ? QStringLiteral("ebur128=dualmono=true") : QStringLiteral("ebur128");
    const QString log = QString::fromUtf8(programOutput(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-i"), path, QStringLiteral("-af"),
         filter, QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
        QProcess::MergedChannels));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Integrated loudness:\\s*I:\\s*(-?[0-9.]+|-inf) LUFS")).match(log);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

//! The true peak `ffmpeg -af ebur128=peak=true` reports (to 0.1 dB, in dBFS;
//! it oversamples to 192 kHz); NaN when it reports none.
inline double ffmpegTruePeakDb(const QString& path)
{
    const QByteArray log = programOutput(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-i"), path, QStringLiteral("-af"),
         QStringLiteral("ebur128=peak=true"), QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
        QProcess::MergedChannels);
    // The summary's "True peak:" block ends with "Peak: -0.9 dBFS".
    const qsizetype summary = log.lastIndexOf("True peak:");
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Peak:\\s+(-?[0-9.]+|-inf) dBFS")).match(QString::fromUtf8(log.mid(summary)));
    return summary >= 0 && match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

} // namespace testsupport
