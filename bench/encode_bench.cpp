// MP3, OGG and WMA conversion of a batch against ffmpeg-based pipelines.
//
// Makes (once, cached under /tmp) a batch of FLAC, MP3 and Ogg Vorbis inputs,
// about 25 minutes of audio in all, then converts the whole batch with the
// window's default options three ways and times each against its reference:
//   MP3: ConvertToMP3_OGG   vs  ffmpeg -i IN -f wav - | lame <same options> - OUT
//   OGG: ConvertToMP3_OGG   vs  ffmpeg -i IN -f wav - | oggenc <same options> - -o OUT
//   WMA: ConvertToWMA       vs  ffmpeg -i IN -c:a wmav2 -b:a <same rate> OUT
// Each file is converted both ways back to back, best of `--runs` (default 2),
// so the load of other programs on the machine hits both sides alike. Prints
// the seconds and the ratio ours ÷ reference per format (target: at most 1.05).
//
// Usage: encode_bench [--runs N] [--minutes M]

#include "convert/ConversionSession.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWMA.h"
#include "convert/EncoderCommand.h"
#include "convert/WmaBitrateList.h"
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

const QString kCache = QStringLiteral("/tmp/tonemill-encode-bench");

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bench::BenchArguments arguments(app.arguments());
    const int runs = arguments.number(QStringLiteral("--runs"), 2);
    const int minutes = arguments.number(QStringLiteral("--minutes"), 25);
    engine::LoadFormatModules();

    const QStringList inputs = bench::mixedInputs(kCache, minutes);
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "cannot make the inputs (is ffmpeg installed?)\n");
        return 1;
    }
    bench::BenchSession conversion;
    options::FormatOptions& options = conversion.options;
    convert::ConversionSession& session = conversion.session;

    bench::PerFileComparison comparison("encode_bench", inputs, minutes, runs);
    for (const int format : {options::FormatOptions::MP3, options::FormatOptions::OGG, options::FormatOptions::WMA}) {
        options.optFileFormat(format).click();
        if (format == options::FormatOptions::WMA) {
            convert::WmaBitrateList rates;
            const int rate = convert::GetWMABitRateFromQuality(rates, false, 44100, 2, options.sliderWMA.Value());
            comparison.compare(
                QStringLiteral("wma"),
                [&](const QString& in, const QString& target) {
                    convert::ConvertToWMA(session, in, target);
                    return true;
                },
                [&](const QString& in, const QString& target) {
                    return bench::runQuietly(QStringLiteral("ffmpeg"),
                                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                              QStringLiteral("-i"), in, QStringLiteral("-c:a"), QStringLiteral("wmav2"),
                                              QStringLiteral("-b:a"), QString::number(rate), target});
                });
            continue;
        }
        comparison.compare(
            format == options::FormatOptions::MP3 ? QStringLiteral("mp3") : QStringLiteral("ogg"),
            [&](const QString& in, const QString& target) {
                convert::ConvertToMP3_OGG(session, in, target);
                return true;
            },
            [&](const QString& in, const QString& target) {
                const QStringList decoder = {
                    QStringLiteral("ffmpeg"), QStringLiteral("-v"),  QStringLiteral("error"), QStringLiteral("-i"), in,
                    QStringLiteral("-f"),     QStringLiteral("wav"), QStringLiteral("-")};
                return bench::runPipeline(
                    decoder, bench::splitEncoderCommand(convert::BuildEncoderCommandLine(options, target, QString())));
            });
    }
    if (!comparison.ok()) {
        std::printf("some conversion failed\n");
        return 1;
    }
    return 0;
}
