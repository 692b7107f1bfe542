// How close to full scale a normalised output comes once it is decoded: each
// input is converted with `tonemill convert --normalize LUFS` (default -8, a
// loud target, where the true-peak limiter works hardest) to every format, the
// output is decoded by ffmpeg, and its true peak is measured by two
// independent references: ffmpeg's ebur128 filter (peak=true, oversampled to
// 192 kHz) and libebur128 (4x), beside its sample peak. The limiter holds the
// samples the encoder gets at -1 dBTP less each lossy codec's headroom; the
// decoded peaks are what that headroom is chosen from (target: every decoded
// output at or below -1 dBTP).
// Inputs, made with ffmpeg: pink and white noise (fixed seeds; the densest
// audio, where codecs overshoot most), a clipped square wave, a mix of tones
// and noise bursts, and real recordings (the freedesktop sounds).
// Usage: decoded_peak_bench [LUFS]

#include "support/Fixtures.h"
#include "support/ReferenceLoudness.h"
#include "support/TonemillRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct Input {
    const char* name;
    QString lavfi; // empty: `file` is used as it is
    QString file;
};

double decibels(double linear)
{
    return 20 * std::log10(linear);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString target = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("-8");
    QTemporaryDir work;
    testsupport::TonemillRun tonemill;
    tonemill.setWorkingFolder(work.path());

    std::vector<Input> inputs = {
        {"pink noise 1", QStringLiteral("anoisesrc=d=20:c=pink:a=0.3:seed=1"), {}},
        {"pink noise 2", QStringLiteral("anoisesrc=d=20:c=pink:a=0.3:seed=2"), {}},
        {"pink noise 3", QStringLiteral("anoisesrc=d=20:c=pink:a=0.3:seed=3"), {}},
        {"white noise", QStringLiteral("anoisesrc=d=20:c=white:a=0.3:seed=4"), {}},
        {"clipped square", QStringLiteral("aevalsrc=0.999*sgn(sin(2*PI*997*t)):d=10"), {}},
        {"tones and bursts",
         QStringLiteral("aevalsrc=0.25*sin(2*PI*110*t)+0.2*sin(2*PI*220*t+1)+0.15*sin(2*PI*1760*t)"
                        "+0.3*(random(0)-0.5)*gt(mod(t\\,0.5)\\,0.4):d=20"),
         {}},
    };
    const QDir sounds(QStringLiteral("/usr/share/sounds/freedesktop/stereo"));
    for (const char* name : {"complete.oga", "phone-incoming-call.oga", "bell.oga"})
        if (sounds.exists(QLatin1String(name)))
            inputs.push_back({name, {}, sounds.filePath(QLatin1String(name))});
    QStringList files;
    for (Input& input : inputs) {
        const QString made = work.filePath(QString::fromLatin1(input.name).replace(u' ', u'-').replace(u'.', u'-') +
                                           QStringLiteral(".flac"));
        const QStringList stereo{QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-ar"),
                                 QStringLiteral("44100")};
        const QStringList decode{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), input.file};
        const bool ok = input.file.isEmpty() ? testsupport::makeFromLavfi(made, input.lavfi, stereo)
                                             : testsupport::runProgram(QStringLiteral("ffmpeg"),
                                                                       decode + stereo + QStringList{made}) == 0;
        if (!ok) {
            std::fprintf(stderr, "could not make %s\n", input.name);
            return 1;
        }
        input.file = made;
        files << made;
    }

    std::printf("normalised to %s LUFS, ceiling -1 dBTP; decoded by ffmpeg, then measured:\n\n", qPrintable(target));
    std::printf("%-6s %-26s %14s %14s %12s\n", "format", "input", "TP ffmpeg", "TP libebur128", "sample peak");
    for (const char* format : {"wav", "flac", "mp3", "ogg", "opus", "m4a", "wma"}) {
        const QString folder = work.filePath(QLatin1String(format));
        const testsupport::TonemillResult run = tonemill.run(
            QStringList{QStringLiteral("convert"), QStringLiteral("--normalize"), target, QStringLiteral("--format"),
                        QLatin1String(format), QStringLiteral("--output"), folder} +
            files);
        if (run.exitCode != 0) {
            std::fprintf(stderr, "the %s conversion failed: %s\n", format, run.err.constData());
            return 1;
        }
        double worstFfmpeg = -1e9;
        double worstLibebur128 = -1e9;
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const QString output =
                folder + u'/' + QFileInfo(files[qsizetype(i)]).completeBaseName() + u'.' + QLatin1String(format);
            const auto decoded = testsupport::decodeToFloat(output);
            if (!decoded) {
                std::fprintf(stderr, "could not decode %s\n", qPrintable(output));
                return 1;
            }
            const testsupport::ReferenceLoudness reference =
                testsupport::libebur128Loudness(decoded->samples, decoded->channels, decoded->rate);
            const double ffmpeg = testsupport::ffmpegTruePeakDb(output);
            worstFfmpeg = std::max(worstFfmpeg, ffmpeg);
            worstLibebur128 = std::max(worstLibebur128, decibels(reference.truePeak));
            std::printf("%-6s %-26s %9.2f dBTP %9.2f dBTP %7.2f dBFS\n", format, inputs[i].name, ffmpeg,
                        decibels(reference.truePeak), decibels(reference.samplePeak));
        }
        std::printf("%-6s %-26s %9.2f dBTP %9.2f dBTP   (target <= -1)\n\n", format, "highest", worstFfmpeg,
                    worstLibebur128);
        std::fflush(stdout);
    }
    return 0;
}
