// What loudness costs (inputs: the one-hour batch of FLAC, MP3 and Ogg files,
// made once with ffmpeg into a cache folder under /tmp):
//   1. measuring during a WAV and an MP3 batch: the processor time of the
//      meter over exactly the samples each batch's encoders get (timed on its
//      own, as the batch gives no way to leave it out), against the processor
//      time of `tonemill convert` doing the batch (target: under 5 %), with
//      libebur128 over the same samples for comparison. The inputs are steady
//      tones: the worst case of the true peak, whose oversampling is skipped
//      only where the samples stay well below the peak found so far;
//   2. normalising (two passes: measure, then convert with the gain and the
//      true-peak limiter) with `tonemill convert --normalize -16` against
//      ffmpeg's loudnorm in its two-pass form on the same files (target:
//      faster), and how close each output comes to -16 LUFS.
// Usage: loudness_bench [ROUNDS] [FILES]; each timing is the best of ROUNDS
// (default 1); FILES of the batch are normalised (default 6, 18 minutes).

#include "engine/AudioEngine.h"
#include "loudness/LoudnessMeter.h"
#include "support/Folders.h"
#include "support/MeasuredRun.h"
#include "support/OneHourBatch.h"
#include "support/Timing.h"
#include "support/TonemillRun.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ebur128.h>
#include <vector>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-convert-bench-cache");

struct Cost {
    double meterMs = 0;
    double libebur128Ms = 0;
    double audioSeconds = 0;
};

//! The meter and libebur128 over every file decoded as a conversion with
//! `flags` decodes it (the decoding itself is not counted).
Cost meterCost(const QStringList& files, DWORD flags)
{
    Cost cost;
    for (const QString& file : files) {
        const HSTREAM stream = engine::OpenStream(false, file, 0, 0, BASS_STREAM_DECODE | flags);
        if (stream == 0)
            return {};
        BASS_CHANNELINFO info;
        BASS_ChannelGetInfo(stream, &info);
        std::vector<char> pcm;
        std::vector<char> buffer(20000);
        for (;;) {
            const DWORD got = BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size()));
            if (got == DWORD(-1))
                break;
            pcm.insert(pcm.end(), buffer.begin(), buffer.begin() + got);
        }
        BASS_StreamFree(stream);
        cost.audioSeconds += double(pcm.size()) / (2.0 * info.chans * info.freq);

        // In the chunks the WAV path reads.
        double start = bench::threadCpuMs();
        loudness::LoudnessMeter meter(info);
        for (std::size_t at = 0; at < pcm.size(); at += 20000)
            meter.add(pcm.data() + at, std::min<std::size_t>(20000, pcm.size() - at));
        cost.meterMs += bench::threadCpuMs() - start;

        start = bench::threadCpuMs();
        ebur128_state* state = ebur128_init(info.chans, info.freq, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
        const auto* samples = reinterpret_cast<const short*>(pcm.data());
        const std::size_t frames = pcm.size() / (2 * info.chans);
        for (std::size_t at = 0; at < frames; at += 5000)
            ebur128_add_frames_short(state, samples + at * info.chans, std::min<std::size_t>(5000, frames - at));
        double loudness = 0;
        ebur128_loudness_global(state, &loudness);
        ebur128_destroy(&state);
        cost.libebur128Ms += bench::threadCpuMs() - start;
    }
    return cost;
}

//! The best (least processor time) of `rounds` runs of the program.
bench::MeasuredRun bestRun(int rounds, const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& env, const QString& outFolder)
{
    bench::MeasuredRun best;
    best.cpuSeconds = 1e300;
    for (int r = 0; r < rounds; ++r) {
        bench::emptyFolder(outFolder);
        const bench::MeasuredRun run = bench::MeasuredRun::of(program, arguments, env);
        if (run.exitCode != 0)
            return run;
        if (run.cpuSeconds < best.cpuSeconds)
            best = run;
    }
    return best;
}

//! The loudness of a file as the engine decodes it.
double loudnessOf(const QString& file)
{
    const HSTREAM stream = engine::OpenStream(false, file, 0, 0, BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT);
    if (stream == 0)
        return NAN;
    BASS_CHANNELINFO info;
    BASS_ChannelGetInfo(stream, &info);
    loudness::LoudnessMeter meter(info);
    std::vector<char> buffer(0x40000);
    for (;;) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size()));
        if (got == DWORD(-1))
            break;
        meter.add(buffer.data(), got);
    }
    BASS_StreamFree(stream);
    return meter.analysis().integrated();
}

//! ffmpeg's loudnorm in two passes per file: the first measures (its JSON),
//! the second normalises with those figures, linearly where it can.
bool ffmpegTwoPass(const QStringList& files, const QString& outFolder, double* cpu)
{
    const double before = bench::childrenCpuSeconds();
    for (const QString& file : files) {
        const QString filter = QStringLiteral("loudnorm=I=-16:TP=-1:LRA=11");
        const bench::MeasuredRun first =
            bench::MeasuredRun::of(QStringLiteral("ffmpeg"),
                                   {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-i"),
                                    file, QStringLiteral("-af"), filter + QStringLiteral(":print_format=json"),
                                    QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
                                   {});
        const qsizetype open = first.err.lastIndexOf('{');
        const QJsonObject measured = QJsonDocument::fromJson(first.err.mid(open)).object();
        if (first.exitCode != 0 || measured.isEmpty())
            return false;
        const QString second = filter + QStringLiteral(":measured_I=%1:measured_TP=%2:measured_LRA=%3:"
                                                       "measured_thresh=%4:offset=%5:linear=true")
                                            .arg(measured.value(QStringLiteral("input_i")).toString(),
                                                 measured.value(QStringLiteral("input_tp")).toString(),
                                                 measured.value(QStringLiteral("input_lra")).toString(),
                                                 measured.value(QStringLiteral("input_thresh")).toString(),
                                                 measured.value(QStringLiteral("target_offset")).toString());
        const QString out = outFolder + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".wav");
        // loudnorm works at 192 kHz: the output gets the input's rate back.
        const bench::MeasuredRun run =
            bench::MeasuredRun::of(QStringLiteral("ffmpeg"),
                                   {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"),
                                    QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"), file,
                                    QStringLiteral("-af"), second, QStringLiteral("-ar"), QStringLiteral("44100"), out},
                                   {});
        if (run.exitCode != 0)
            return false;
    }
    *cpu = bench::childrenCpuSeconds() - before;
    return true;
}

void printLoudness(const char* what, const QStringList& files, const QString& folder)
{
    double worst = 0;
    double sum = 0;
    for (const QString& file : files) {
        const double loudness = loudnessOf(folder + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".wav"));
        worst = std::max(worst, std::fabs(loudness + 16.0));
        sum += loudness;
    }
    std::printf("%-26s outputs at %.2f LUFS on average, the farthest %.2f LU from -16\n", what,
                sum / double(files.size()), worst);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    std::printf("Making the inputs in %s (once) ...\n", qPrintable(kCache));
    std::fflush(stdout);
    const QStringList files = bench::oneHourBatch(kCache);
    if (files.isEmpty() || !engine::InitDecodingEngine()) {
        std::fprintf(stderr, "could not make the inputs or start the engine\n");
        return 1;
    }
    const int normalised = std::clamp(argc > 2 ? atoi(argv[2]) : 6, 1, int(files.size()));

    testsupport::TonemillRun tonemill;
    const QString program = tonemill.program();
    QProcessEnvironment env = tonemill.environment();
    QTemporaryDir out;
    const QString outFolder = out.filePath(QStringLiteral("out"));
    std::printf("%d files, %d s of audio (FLAC, MP3, Ogg in turn), best of %d round(s)\n\n", int(files.size()),
                int(files.size()) * bench::kOneHourSecondsEach, rounds);

    // 1. Measuring during a batch.
    for (const auto& [format, flags] : {std::pair{"wav", DWORD(0)}, std::pair{"mp3", BASS_STREAM_DOWNMIX}}) {
        const bench::MeasuredRun batch =
            bestRun(rounds, program,
                    QStringList{QStringLiteral("convert"), QStringLiteral("--format"), QString::fromLatin1(format),
                                QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--output"), outFolder} +
                        files,
                    env, outFolder);
        if (batch.exitCode != 0) {
            std::fprintf(stderr, "the %s batch failed: %s\n", format, batch.err.constData());
            return 1;
        }
        const Cost cost = meterCost(files, flags);
        std::printf("%s batch: %7.2f s cpu (%.2f s wall) for %.0f s of audio\n", format, batch.cpuSeconds,
                    batch.wallSeconds, cost.audioSeconds);
        // The batch measured as it converted: what it costs is the meter's
        // share of the batch, and what it adds to a batch that would not measure.
        const double meter = cost.meterMs / 1000;
        std::printf("  meter      : %7.2f s cpu = %5.1f %% of the batch, %5.1f %% added to it (target < 5 %%)\n", meter,
                    100.0 * meter / batch.cpuSeconds, 100.0 * meter / (batch.cpuSeconds - meter));
        std::printf("  libebur128 : %7.2f s cpu = %5.1f %% of the batch (the same measure, for comparison)\n",
                    cost.libebur128Ms / 1000, 100.0 * cost.libebur128Ms / 1000 / batch.cpuSeconds);
    }

    // 2. Normalising in two passes.
    const QStringList some = files.mid(0, normalised);
    std::printf("\nnormalising %d files (%d s) to -16 LUFS, true peak -1 dBTP, into WAV:\n", int(some.size()),
                int(some.size()) * bench::kOneHourSecondsEach);
    double ffmpegCpu = 0;
    double ffmpegWall = 1e300;
    for (int r = 0; r < rounds; ++r) {
        bench::emptyFolder(outFolder);
        double cpu = 0;
        bool ok = true;
        const double wall = bench::secondsOf([&] { return ffmpegTwoPass(some, outFolder, &cpu); }, &ok);
        if (!ok) {
            std::fprintf(stderr, "ffmpeg loudnorm failed\n");
            return 1;
        }
        if (wall < ffmpegWall) {
            ffmpegWall = wall;
            ffmpegCpu = cpu;
        }
    }
    printLoudness("ffmpeg loudnorm", some, outFolder);
    for (const int jobs : {1, 2}) {
        bench::MeasuredRun best;
        best.wallSeconds = 1e300;
        for (int r = 0; r < rounds; ++r) {
            // A fresh cache: no stored analysis spares the first pass.
            QTemporaryDir cache;
            env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
            bench::emptyFolder(outFolder);
            const bench::MeasuredRun run = bench::MeasuredRun::of(
                program,
                QStringList{QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("wav"),
                            QStringLiteral("--normalize"), QStringLiteral("-16"), QStringLiteral("--jobs"),
                            QString::number(jobs), QStringLiteral("--output"), outFolder} +
                    some,
                env);
            if (run.exitCode != 0) {
                std::fprintf(stderr, "tonemill --normalize failed: %s\n", run.err.constData());
                return 1;
            }
            if (run.wallSeconds < best.wallSeconds)
                best = run;
        }
        printLoudness(jobs == 1 ? "tonemill --jobs 1" : "tonemill --jobs 2", some, outFolder);
        std::printf("  tonemill --normalize --jobs %d: %7.2f s wall, %7.2f s cpu\n", jobs, best.wallSeconds,
                    best.cpuSeconds);
        if (jobs == 1)
            std::printf("  ffmpeg loudnorm, two passes : %7.2f s wall, %7.2f s cpu\n", ffmpegWall, ffmpegCpu);
        std::printf("  ratio tonemill / ffmpeg     : %.3f wall, %.3f cpu (target < 1)\n", best.wallSeconds / ffmpegWall,
                    best.cpuSeconds / ffmpegCpu);
    }
    return 0;
}
