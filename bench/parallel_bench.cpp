// The cost of spreading a batch over invocations, as the README's recipe for
// several machines does with GNU Parallel, whose unit of work is a folder (an
// album):
//   1. one `tonemill convert --jobs 2` over every album folder;
//   2. the same folders through `parallel -j2 -X tonemill convert --jobs 1`
//      (two invocations side by side, each with half the albums);
//   3. the same through `parallel -j2 -X -n 1` (one invocation per album),
//      for the cost of each further invocation.
// Prints wall and processor seconds of each, the overhead of 2 over 1 (target:
// below 5 %) and the milliseconds each invocation adds, and the fixed cost of
// one invocation (start-up, engine, one tiny file).
// The inputs (8 albums of 5 FLAC files of 20 s, converted to MP3) are made
// once into a cache folder under /tmp.
// Usage: parallel_bench [ROUNDS]; each timing is the best of ROUNDS (default 3).

#include "support/Folders.h"
#include "support/MeasuredRun.h"
#include "support/TestTone.h"
#include "support/TonemillRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-parallel-bench-albums");
constexpr int kAlbums = 8;
constexpr int kTracks = 5;
constexpr int kSeconds = 20;

struct Timing {
    double wall = 1e300;
    double cpu = 0;
};

//! The best of `rounds` runs of `program` (into an emptied `outFolder`);
//! nothing when one failed.
std::optional<Timing> best(int rounds, const QString& outFolder, const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& env)
{
    Timing result;
    for (int r = 0; r < rounds; ++r) {
        bench::emptyFolder(outFolder);
        const bench::MeasuredRun run = bench::MeasuredRun::of(program, arguments, env);
        if (run.exitCode != 0) {
            std::fprintf(stderr, "%s failed (%d): %s\n", qPrintable(program), run.exitCode, run.err.constData());
            return std::nullopt;
        }
        if (run.wallSeconds < result.wall)
            result = {run.wallSeconds, run.cpuSeconds};
    }
    return result;
}

void print(const char* what, const Timing& timing)
{
    std::printf("%-52s %7.2f s wall %7.2f s cpu\n", what, timing.wall, timing.cpu);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    const testsupport::TonemillRun tonemill;
    if (!tonemill.isValid() || !QFileInfo(tonemill.program()).isExecutable()) {
        std::fprintf(stderr, "no built tonemill at %s\n", qPrintable(tonemill.program()));
        return 1;
    }
    const QString parallel = QStandardPaths::findExecutable(QStringLiteral("parallel"));
    if (parallel.isEmpty()) {
        std::fprintf(stderr, "GNU Parallel is not installed (scripts/setup.sh installs parallel)\n");
        return 1;
    }

    QStringList inputs; // the album folders
    for (int album = 0; album < kAlbums; ++album) {
        const QString folder = kCache + QStringLiteral("/album%1").arg(album);
        QDir().mkpath(folder);
        for (int track = 0; track < kTracks; ++track) {
            const int i = album * kTracks + track;
            const QString made = bench::TestTone{
                folder + QStringLiteral("/%1.flac").arg(track + 1, 2, 10, QLatin1Char('0')),
                kSeconds,
                bench::TestTone::Signal::Sine,
                220 + 13 * i,
                {}}.make();
            if (made.isEmpty()) {
                std::fprintf(stderr, "ffmpeg could not make the inputs\n");
                return 1;
            }
        }
        inputs << folder;
    }
    const QString tiny =
        bench::TestTone{kCache + QStringLiteral("/tiny.flac"), 1, bench::TestTone::Signal::Sine, 440, {}}.make();

    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("out"));
    QProcessEnvironment env = tonemill.environment();
    // GNU Parallel keeps its notice about citing it to itself.
    QDir().mkpath(tonemill.homeFolder() + QStringLiteral("/.parallel"));
    QFile(tonemill.homeFolder() + QStringLiteral("/.parallel/will-cite")).open(QIODevice::WriteOnly);

    // As the recipe places them: each album below the output folder as below the library.
    const QStringList convert = {QStringLiteral("convert"),
                                 QStringLiteral("--format"),
                                 QStringLiteral("mp3"),
                                 QStringLiteral("--output"),
                                 out,
                                 QStringLiteral("--tree-root"),
                                 kCache};
    const std::optional<Timing> one =
        best(rounds, out, tonemill.program(),
             convert + QStringList{QStringLiteral("--jobs"), QStringLiteral("2")} + inputs, env);
    const QStringList spread = QStringList{QStringLiteral("-j2"), QStringLiteral("-X"), tonemill.program()} + convert +
                               QStringList{QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral(":::")};
    const std::optional<Timing> two = best(rounds, out, parallel, spread + inputs, env);
    const QStringList batches = QStringList{QStringLiteral("-n"), QStringLiteral("1")} + spread + inputs;
    const std::optional<Timing> many = best(rounds, out, parallel, batches, env);
    const std::optional<Timing> single =
        best(rounds, out, tonemill.program(),
             convert + QStringList{QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--format=wav"), tiny},
             env);
    if (!one || !two || !many || !single)
        return 1;

    std::printf("%d albums of %d files of %d s (FLAC to MP3), folders as the unit, best of %d\n", kAlbums, kTracks,
                kSeconds, rounds);
    print("tonemill convert --jobs 2 (one call)", *one);
    print("parallel -j2 -X tonemill convert --jobs 1 (2 calls)", *two);
    const int calls = kAlbums;
    print(qPrintable(QStringLiteral("parallel -j2 -X -n 1 ... (%1 calls, one per album)").arg(calls)), *many);
    print("one call on a 1 s file (start-up and engine)", *single);
    const double overhead = (two->wall - one->wall) / one->wall * 100.0;
    std::printf("overhead of 2 calls over one: %+.1f %% (target: below 5 %%)\n", overhead);
    std::printf("each further call adds %.0f ms of wall time (%d calls against 2)\n",
                (many->wall - two->wall) / (calls - 2) * 1000.0, calls);
    return 0;
}
