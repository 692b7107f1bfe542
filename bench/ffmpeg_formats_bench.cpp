// FLAC, Opus and AAC conversion of a batch against the matching ffmpeg command.
//
// Makes (once, cached under /tmp) a batch of FLAC, MP3 and Ogg Vorbis inputs,
// an hour of audio in all by default, then converts the whole batch with the
// options' defaults three ways and times each against its reference:
//   FLAC: ConvertToFLAC_OPUS_AAC  vs  ffmpeg -i IN -c:a flac -compression_level 5 -sample_fmt s32|s16 OUT.flac
//         (the bit depth we keep: the FLAC inputs are 24-bit, the lossy ones
//         give 16 bits; ffmpeg alone would make 24-bit files of those too)
//   Opus: ConvertToFLAC_OPUS_AAC  vs  ffmpeg -i IN -c:a libopus -b:a 128k -application audio -ar 48000 OUT.opus
//   AAC:  ConvertToFLAC_OPUS_AAC  vs  ffmpeg -i IN -c:a aac -b:a 192k OUT.m4a
// Each file is converted both ways back to back, best of `--runs` (default 1),
// so the load of other programs on the machine hits both sides alike. Prints
// the seconds and the ratio ours ÷ reference per format (target: at most 1.05).
//
// Usage: ffmpeg_formats_bench [--runs N] [--minutes M] [--format flac|opus|m4a]

#include "convert/ConversionSession.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "engine/AudioEngine.h"
#include "options/FormatOptions.h"
#include "support/BenchArguments.h"
#include "support/BenchSession.h"
#include "support/Commands.h"
#include "support/MixedInputs.h"
#include "support/PerFileComparison.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

using options::FormatOptions;

const QString kCache = QStringLiteral("/tmp/tonemill-ffmpeg-formats-bench");

//! The ffmpeg options that make of `input` what the format's defaults make.
QStringList referenceOptions(int format, const QString& input)
{
    switch (format) {
    case FormatOptions::FLAC:
        return {QStringLiteral("-c:a"),
                QStringLiteral("flac"),
                QStringLiteral("-compression_level"),
                QStringLiteral("5"),
                QStringLiteral("-sample_fmt"),
                input.endsWith(QStringLiteral(".flac")) ? QStringLiteral("s32") : QStringLiteral("s16")};
    case FormatOptions::OPUS:
        return {QStringLiteral("-c:a"), QStringLiteral("libopus"),      QStringLiteral("-b:a"),
                QStringLiteral("128k"), QStringLiteral("-application"), QStringLiteral("audio"),
                QStringLiteral("-ar"),  QStringLiteral("48000")};
    default:
        return {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("192k")};
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bench::BenchArguments arguments(app.arguments());
    const int runs = arguments.number(QStringLiteral("--runs"), 1);
    const int minutes = arguments.number(QStringLiteral("--minutes"), 60);
    const QString only = arguments.text(QStringLiteral("--format")); // one format by its extension, or all three
    engine::LoadFormatModules();

    const QStringList inputs = bench::mixedInputs(kCache, minutes);
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "cannot make the inputs (is ffmpeg installed?)\n");
        return 1;
    }
    bench::BenchSession conversion;
    FormatOptions& options = conversion.options;
    convert::ConversionSession& session = conversion.session;
    session.setYieldInterval(10); // as the batch does

    bench::PerFileComparison comparison("ffmpeg_formats_bench", inputs, minutes, runs);
    for (const int format : {FormatOptions::FLAC, FormatOptions::OPUS, FormatOptions::AAC}) {
        options.optFileFormat(format).click();
        const QString extension = format == FormatOptions::FLAC   ? QStringLiteral("flac")
                                  : format == FormatOptions::OPUS ? QStringLiteral("opus")
                                                                  : QStringLiteral("m4a");
        if (!only.isEmpty() && only != extension)
            continue;
        comparison.compare(
            extension,
            [&](const QString& in, const QString& target) {
                convert::ConvertToFLAC_OPUS_AAC(session, in, target);
                return true;
            },
            [&](const QString& in, const QString& target) {
                return bench::runQuietly(QStringLiteral("ffmpeg"),
                                         QStringList{QStringLiteral("-v"), QStringLiteral("error"),
                                                     QStringLiteral("-y"), QStringLiteral("-i"), in} +
                                             referenceOptions(format, in) + QStringList{target});
            });
    }
    if (!comparison.ok()) {
        std::printf("some conversion failed\n");
        return 1;
    }
    return 0;
}
