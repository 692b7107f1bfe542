// Times splitting a one-hour FLAC rip with a CUE sheet of 12 tracks into FLAC
// tracks: `tonemill convert --format flac album.cue` against `ffmpeg -ss S -to
// E -i album.flac` per track (one after another, and as many at once as the
// machine has cores, as the program converts), and checks every output's
// decoded samples against the rip's own segment (target: faster, and exact).
// Usage: cue_split_bench [--rounds N]; each timing is the best of N (default 1).

#include "support/BenchArguments.h"
#include "support/Commands.h"
#include "support/Fixtures.h"
#include "support/Folders.h"
#include "support/TestTone.h"
#include "support/Timing.h"
#include "support/TonemillRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <vector>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-cue-bench-cache");
constexpr int kTracks = 12;
constexpr int kSeconds = 3600;
constexpr int kFramesPerSecond = 75;
constexpr qint64 kBytesPerCdFrame = 588 * 4;

//! INDEX 01 of each track in CD frames: uneven lengths, none on a whole second.
std::vector<qint64> trackStarts()
{
    std::vector<qint64> starts;
    for (int t = 0; t < kTracks; ++t)
        starts.push_back(t == 0 ? 0 : qint64(t) * (kSeconds / kTracks) * kFramesPerSecond + 7 * t + (t % 3) * 31);
    return starts;
}

QString msf(qint64 frames)
{
    return QStringLiteral("%1:%2:%3")
        .arg(frames / kFramesPerSecond / 60, 2, 10, QLatin1Char('0'))
        .arg(frames / kFramesPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(frames % kFramesPerSecond, 2, 10, QLatin1Char('0'));
}

bool writeSheet(const QString& path)
{
    QByteArray text = "PERFORMER \"Bench\"\nTITLE \"One Hour\"\nFILE \"album.flac\" WAVE\n";
    const std::vector<qint64> starts = trackStarts();
    for (int t = 0; t < kTracks; ++t)
        text += QStringLiteral("  TRACK %1 AUDIO\n    TITLE \"Part %2\"\n    INDEX 01 %3\n")
                    .arg(t + 1, 2, 10, QLatin1Char('0'))
                    .arg(t + 1)
                    .arg(msf(starts[std::size_t(t)]))
                    .toUtf8();
    return testsupport::writeFile(path, text);
}

QStringList ffmpegArguments(const QString& flac, int track, const QString& output)
{
    const std::vector<qint64> starts = trackStarts();
    QStringList args = {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                        QStringLiteral("-ss"),
                        QString::number(double(starts[std::size_t(track)]) / kFramesPerSecond, 'f', 6)};
    if (track + 1 < kTracks)
        args << QStringLiteral("-to")
             << QString::number(double(starts[std::size_t(track + 1)]) / kFramesPerSecond, 'f', 6);
    args << QStringLiteral("-i") << flac << QStringLiteral("-c:a") << QStringLiteral("flac") << output;
    return args;
}

bool ffmpegSplit(const QString& flac, const QString& out, int jobs)
{
    std::vector<std::unique_ptr<QProcess>> running;
    bool ok = true;
    for (int t = 0; t < kTracks || !running.empty();) {
        if (t < kTracks && int(running.size()) < jobs) {
            auto process = std::make_unique<QProcess>();
            process->start(
                QStringLiteral("ffmpeg"),
                ffmpegArguments(flac, t, out + QStringLiteral("/%1.flac").arg(t + 1, 2, 10, QLatin1Char('0'))));
            running.push_back(std::move(process));
            ++t;
            continue;
        }
        running.front()->waitForFinished(-1);
        ok = ok && running.front()->exitStatus() == QProcess::NormalExit && running.front()->exitCode() == 0;
        running.erase(running.begin());
    }
    return ok;
}

//! How many of the outputs decode to exactly their segment of the rip.
int exactTracks(const QByteArray& pcm, const QString& out, const QString& namePattern)
{
    const std::vector<qint64> starts = trackStarts();
    int exact = 0;
    for (int t = 0; t < kTracks; ++t) {
        const qint64 from = starts[std::size_t(t)] * kBytesPerCdFrame;
        const qint64 to = t + 1 < kTracks ? starts[std::size_t(t + 1)] * kBytesPerCdFrame : pcm.size();
        const QString file = out + u'/' + namePattern.arg(t + 1, 2, 10, QLatin1Char('0'));
        if (testsupport::decodeWithFfmpeg(file) == pcm.mid(from, to - from))
            ++exact;
    }
    return exact;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bench::BenchArguments arguments(app.arguments());
    const int rounds = arguments.number(QStringLiteral("--rounds"), 1);

    std::printf("Making the one-hour rip in %s (once) ...\n", qPrintable(kCache));
    std::fflush(stdout);
    QDir().mkpath(kCache);
    const QString flac =
        bench::TestTone{kCache + QStringLiteral("/album.flac"), kSeconds, bench::TestTone::Signal::Sweep, 440, {}}
            .make();
    const QString sheet = kCache + QStringLiteral("/album.cue");
    if (flac.isEmpty() || !writeSheet(sheet)) {
        std::fprintf(stderr, "could not make the rip\n");
        return 1;
    }
    const QByteArray pcm = testsupport::decodeWithFfmpeg(flac);

    testsupport::TonemillRun tonemill;
    const QProcessEnvironment env = tonemill.environment();
    QTemporaryDir outRoot;
    const QString out = outRoot.filePath(QStringLiteral("out"));
    const int cores = QThread::idealThreadCount();

    auto time = [&](const std::function<bool()>& work) {
        return bench::bestSeconds(rounds, [&] {
            bench::emptyFolder(out);
            return work();
        });
    };
    const double program = time([&] {
        return bench::runQuietly(tonemill.program(),
                                 {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("flac"),
                                  QStringLiteral("--output"), out, sheet},
                                 env);
    });
    const int programExact = exactTracks(pcm, out, QStringLiteral("Track%1.flac"));
    const double ffmpegOne = time([&] { return ffmpegSplit(flac, out, 1); });
    const double ffmpegMany = time([&] { return ffmpegSplit(flac, out, cores); });
    const int ffmpegExact = exactTracks(pcm, out, QStringLiteral("%1.flac"));
    bench::emptyFolder(out);

    std::printf("%d tracks, %d s of FLAC, best of %d round(s), %d cores\n", kTracks, kSeconds, rounds, cores);
    std::printf("tonemill convert album.cue      : %7.2f s, %2d of %d tracks sample-exact\n", program, programExact,
                kTracks);
    std::printf("ffmpeg -ss/-to per track, 1 job : %7.2f s, %2d of %d tracks sample-exact\n", ffmpegOne, ffmpegExact,
                kTracks);
    std::printf("ffmpeg -ss/-to per track, %d jobs: %7.2f s\n", cores, ffmpegMany);
    std::printf("ratio tonemill / ffmpeg         : %.3f (1 job), %.3f (%d jobs) (target < 1.0)\n", program / ffmpegOne,
                program / ffmpegMany, cores);
    return 0;
}
