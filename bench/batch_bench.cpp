// A batch of twenty files, one hour of audio, converted to MP3 and to OGG by
// `tonemill convert --jobs N` with N = 1 and N = 2, against the same batch
// converted the command-line way: `xargs -P2` running one
// `ffmpeg -i IN -f wav - | lame ...` (or `| oggenc ...`) pipeline per file,
// with the encoder arguments Tonemill gives at its default options. A run of
// the pipelines one at a time (`xargs -P1`) shows what two cores give the
// plain pipelines, as a yardstick for the N = 1 to N = 2 speed-up.
//
// The inputs (20 × 3 minutes of a tone with noise, 44.1 kHz stereo FLAC) are
// made once under /tmp. Each round runs every variant once, the order turned
// round from one round to the next so that a change in the machine's load hits
// all alike; the table shows the median wall time of the rounds, the processor
// time, the ratios, and the peak resident memory of the tonemill process
// (wait4's maximum: the largest of it and the encoders it ran), then PASS or
// MISS against each target:
//   N = 2 at most 1.0 × the time of the `xargs -P2` pipelines,
//   N = 2 at least 1.8 × as fast as N = 1,
//   peak memory at most N × 60 MB.
// The window against the command line is not measured here: convert_bench
// times the window's batch against `tonemill convert`.
//
// A build whose command line refuses --jobs gets "--jobs not supported by this
// build" in place of the tonemill figures; the pipelines are still measured.
//
// Usage: batch_bench [--rounds N] [--quick]
//   --rounds N   rounds of every variant (default 2)
//   --quick      2 files of 20 s, to try the program in seconds
// Exits 1 when a conversion failed, 2 when a target was missed.

#include "convert/EncoderCommand.h"
#include "options/FormatOptions.h"
#include "support/BenchArguments.h"
#include "support/Commands.h"
#include "support/Folders.h"
#include "support/LoadAverage.h"
#include "support/MeasuredRun.h"
#include "support/ParallelPipelines.h"
#include "support/TestTone.h"
#include "support/Timing.h"
#include "support/TonemillRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using options::FormatOptions;

constexpr double kMaxPeakMbPerJob = 60;
constexpr double kMaxRatioToPipelines = 1.0;
constexpr double kMinSpeedUp = 1.8;
const char* const kNoJobs = "--jobs not supported by this build";

struct Batch {
    QString folder;
    QStringList names; // generated: in00, in01, ...
    QStringList paths;
    int seconds = 0;
};

Batch makeBatch(bool quick)
{
    Batch batch;
    const int files = quick ? 2 : 20;
    const int secondsEach = quick ? 20 : 180;
    batch.folder =
        QStringLiteral("/tmp/tonemill-batch-bench/%1").arg(quick ? QStringLiteral("quick") : QStringLiteral("hour"));
    QDir().mkpath(batch.folder);
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("in%1").arg(i, 2, 10, QLatin1Char('0'));
        const bench::TestTone tone{batch.folder + u'/' + name + QStringLiteral(".flac"),
                                   secondsEach,
                                   bench::TestTone::Signal::Sine,
                                   220 + 37 * i,
                                   {QStringLiteral("-c:a"), QStringLiteral("flac")}};
        if (tone.make().isEmpty())
            return {};
        batch.names << name;
        batch.paths << tone.path;
        batch.seconds += secondsEach;
    }
    return batch;
}

struct Format {
    const char* label;
    QString name; // of --format, and the output extension
    int index;    // in FormatOptions
};

//! The encoder and its arguments as Tonemill runs them at the default options.
QStringList defaultEncoder(int format)
{
    FormatOptions options;
    options.optFileFormat(format).click();
    return bench::splitEncoderCommand(
        convert::BuildEncoderCommandLine(options, bench::ParallelPipelines::outputMarker(), QString()));
}

struct Variant {
    const char* label;
    bool tonemill; // else the xargs pipelines
    int jobs;
};

const Variant kVariants[] = {
    {"tonemill N=1", true, 1},
    {"tonemill N=2", true, 2},
    {"pipelines -P2", false, 2},
    {"pipelines -P1", false, 1},
};
constexpr int kVariantCount = int(std::size(kVariants));
constexpr int kTonemill1 = 0;
constexpr int kTonemill2 = 1;
constexpr int kPipelines2 = 2;
constexpr int kPipelines1 = 3;

struct Figures {
    std::vector<double> wall;
    std::vector<double> cpu;
    long peakKb = 0;
    bool failed = false;
    bool unsupported = false;

    bool measured() const { return !failed && !unsupported && !wall.empty(); }
    double medianWall() const { return bench::median(wall); }
};

//! True when the build's convert command takes --jobs. A build without it
//! refuses it as an unknown option (a usage error, exit 2) before it looks
//! at the input, which does not exist.
bool acceptsJobs(const testsupport::TonemillRun& tonemill, const QString& outFolder)
{
    const bench::MeasuredRun probe = bench::MeasuredRun::of(
        tonemill.program(),
        {QStringLiteral("convert"), QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--output"),
         outFolder, QStringLiteral("--"), outFolder + QStringLiteral("/no-such-input.flac")},
        tonemill.environment());
    return !(probe.exitCode == 2 && probe.err.contains("--jobs"));
}

//! Outputs with content in `folder` ending in `.extension`.
int outputsIn(const QString& folder, const QString& extension)
{
    int count = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*.") + extension}, QDir::Files))
        count += file.size() > 0 ? 1 : 0;
    return count;
}

//! Rows the convert command reported "Complete" (the third of its tab-separated fields).
int completeRows(const QByteArray& out)
{
    int count = 0;
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        count += fields.size() >= 3 && fields[2] == "Complete" ? 1 : 0;
    }
    return count;
}

const char* verdict(bool pass)
{
    return pass ? "PASS" : "MISS";
}

//! Prints one format's table and its targets; false when a target was missed.
bool report(const Format& format, const Figures (&figures)[kVariantCount])
{
    const Figures& pipelines = figures[kPipelines2];
    const Figures& one = figures[kTonemill1];
    std::printf("\n%s\n%-15s %10s %9s %12s %12s %9s\n", format.label, "variant", "wall s", "cpu s", "÷ pipelines",
                "× vs N=1", "peak MB");
    for (int v = 0; v < kVariantCount; ++v) {
        const Figures& f = figures[v];
        if (f.unsupported) {
            std::printf("%-15s %s\n", kVariants[v].label, kNoJobs);
            continue;
        }
        if (!f.measured()) {
            std::printf("%-15s failed\n", kVariants[v].label);
            continue;
        }
        std::printf("%-15s %10.2f %9.2f", kVariants[v].label, f.medianWall(), bench::median(f.cpu));
        if (pipelines.measured())
            std::printf(" %12.3f", f.medianWall() / pipelines.medianWall());
        else
            std::printf(" %12s", "-");
        if (one.measured())
            std::printf(" %12.3f", one.medianWall() / f.medianWall());
        else
            std::printf(" %12s", "-");
        if (kVariants[v].tonemill)
            std::printf(" %9.1f\n", double(f.peakKb) / 1024.0);
        else
            std::printf(" %9s\n", "-");
    }

    bool allMet = true;
    const Figures& two = figures[kTonemill2];
    if (two.measured() && pipelines.measured()) {
        const double ratio = two.medianWall() / pipelines.medianWall();
        allMet = allMet && ratio <= kMaxRatioToPipelines;
        std::printf("target N=2 ÷ pipelines -P2 <= %.1f: %.3f %s\n", kMaxRatioToPipelines, ratio,
                    verdict(ratio <= kMaxRatioToPipelines));
    } else {
        std::printf("target N=2 ÷ pipelines -P2 <= %.1f: n/a (%s)\n", kMaxRatioToPipelines,
                    two.unsupported ? kNoJobs : "a variant failed");
    }
    if (two.measured() && one.measured()) {
        const double speedUp = one.medianWall() / two.medianWall();
        allMet = allMet && speedUp >= kMinSpeedUp;
        std::printf("target N=2 at least %.1f × as fast as N=1: %.3f %s\n", kMinSpeedUp, speedUp,
                    verdict(speedUp >= kMinSpeedUp));
    } else {
        std::printf("target N=2 at least %.1f × as fast as N=1: n/a (%s)\n", kMinSpeedUp,
                    two.unsupported ? kNoJobs : "a variant failed");
    }
    for (const int v : {kTonemill1, kTonemill2}) {
        const double limit = kMaxPeakMbPerJob * kVariants[v].jobs;
        if (!figures[v].measured()) {
            std::printf("target peak memory of %s <= %.0f MB: n/a (%s)\n", kVariants[v].label, limit,
                        figures[v].unsupported ? kNoJobs : "it failed");
            continue;
        }
        const double peakMb = double(figures[v].peakKb) / 1024.0;
        allMet = allMet && peakMb <= limit;
        std::printf("target peak memory of %s <= %.0f MB: %.1f MB %s\n", kVariants[v].label, limit, peakMb,
                    verdict(peakMb <= limit));
    }
    if (pipelines.measured() && figures[kPipelines1].measured())
        std::printf("yardstick: the pipelines run %.3f × as fast with -P2 as with -P1 on this machine\n",
                    figures[kPipelines1].medianWall() / pipelines.medianWall());
    std::fflush(stdout);
    return allMet;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bench::BenchArguments arguments(app.arguments());
    const int rounds = arguments.number(QStringLiteral("--rounds"), 2);
    const bool quick = arguments.flag(QStringLiteral("--quick"));

    const testsupport::TonemillRun tonemill;
    if (!tonemill.isValid() || !QFileInfo(tonemill.program()).isExecutable()) {
        std::fprintf(stderr, "no built tonemill at %s\n", qPrintable(tonemill.program()));
        return 1;
    }
    const Batch batch = makeBatch(quick);
    if (batch.paths.isEmpty()) {
        std::fprintf(stderr, "could not make the inputs (is ffmpeg installed?)\n");
        return 1;
    }
    QTemporaryDir out;
    const QString outFolder = out.filePath(QStringLiteral("out"));
    bench::emptyFolder(outFolder);
    const bool jobs = acceptsJobs(tonemill, outFolder);

    const Format formats[] = {{"MP3", QStringLiteral("mp3"), FormatOptions::MP3},
                              {"OGG", QStringLiteral("ogg"), FormatOptions::OGG}};
    std::printf("batch_bench: %lld FLAC files, %d s of audio in all, %d round(s), variants alternating\n",
                static_cast<long long>(batch.paths.size()), batch.seconds, rounds);
    std::printf("load average at the start: %s\n", qPrintable(bench::loadAverage()));
    for (const Format& format : formats)
        std::printf("%s encoder: %s\n", format.label, qPrintable(defaultEncoder(format.index).join(u' ')));
    if (!jobs)
        std::printf("tonemill: %s\n", kNoJobs);
    std::fflush(stdout);

    Figures figures[std::size(formats)][kVariantCount];
    for (auto& ofFormat : figures) {
        ofFormat[kTonemill1].unsupported = !jobs;
        ofFormat[kTonemill2].unsupported = !jobs;
    }
    const QProcessEnvironment pipelineEnv = QProcessEnvironment::systemEnvironment();
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t f = 0; f < std::size(formats); ++f) {
            const Format& format = formats[f];
            const bench::ParallelPipelines pipelines(batch.names, QStringLiteral("flac"), defaultEncoder(format.index),
                                                     format.name);
            for (int step = 0; step < kVariantCount; ++step) {
                const int v = round % 2 == 0 ? step : kVariantCount - 1 - step;
                const Variant& variant = kVariants[v];
                Figures& figure = figures[f][v];
                if (figure.unsupported || figure.failed)
                    continue;
                bench::emptyFolder(outFolder);
                const bench::MeasuredRun run =
                    variant.tonemill
                        ? bench::MeasuredRun::of(tonemill.program(),
                                                 QStringList{QStringLiteral("convert"), QStringLiteral("--format"),
                                                             format.name, QStringLiteral("--output"), outFolder,
                                                             QStringLiteral("--jobs"), QString::number(variant.jobs),
                                                             QStringLiteral("--")} +
                                                     batch.paths,
                                                 tonemill.environment())
                        : pipelines.run(variant.jobs, batch.folder, outFolder, pipelineEnv);
                const bool done = run.exitCode == 0 && outputsIn(outFolder, format.name) == batch.paths.size() &&
                                  (!variant.tonemill || completeRows(run.out) == batch.paths.size());
                std::fprintf(stderr, "round %d, %s, %s: %.2f s%s\n", round + 1, format.label, variant.label,
                             run.wallSeconds, done ? "" : " FAILED");
                if (!done) {
                    std::fprintf(stderr, "exit %d\n%s%s", run.exitCode, run.out.constData(), run.err.constData());
                    figure.failed = true;
                    continue;
                }
                figure.wall.push_back(run.wallSeconds);
                figure.cpu.push_back(run.cpuSeconds);
                figure.peakKb = std::max(figure.peakKb, run.peakKb);
            }
        }
    }
    bench::emptyFolder(outFolder);

    bool allMet = true;
    bool anyFailed = false;
    for (std::size_t f = 0; f < std::size(formats); ++f) {
        allMet = report(formats[f], figures[f]) && allMet;
        for (const Figures& figure : figures[f])
            anyFailed = anyFailed || figure.failed;
    }
    std::printf("\nwindow ÷ command line: not measured here (convert_bench measures it)\n");
    std::printf("load average at the end: %s\n", qPrintable(bench::loadAverage()));
    return anyFailed ? 1 : allMet ? 0 : 2;
}
