// Times WAV conversion of an hour of audio (FLAC, MP3 and Ogg files made once
// with ffmpeg into a cache folder under /tmp):
//   1. `tonemill convert --format wav` against `ffmpeg -i IN -f wav OUT` per
//      file (target: ratio at most 1.0);
//   2. the same batch in the window (offscreen, the grid bound and shown, its
//      progress cell painted at every chunk) against the command line
//      (target: at most 1.15), with the grid's repainted area per chunk;
//   3. the peak resident memory (VmHWM) of `tonemill convert` on a 2-hour
//      file (target: under 100 MB).
// Usage: convert_bench [ROUNDS]; each timing is the best of ROUNDS (default 2).

#include "convert/ConversionBatch.h"
#include "engine/AudioEngine.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/GridView.h"
#include "options/FormatOptions.h"
#include "support/BenchDesktop.h"
#include "support/Commands.h"
#include "support/Folders.h"
#include "support/MeasuredRun.h"
#include "support/OneHourBatch.h"
#include "support/TestTone.h"
#include "support/Timing.h"
#include "support/TonemillRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-convert-bench-cache");
constexpr int kLongSeconds = 7200;

struct Times {
    double wall = 0; // s
    double cpu = 0;  // s of processor time (this process and its children)
};

//! A tone with some noise, so the lossless files are not trivially small.
bool makeInput(const QString& path, int seconds, int index)
{
    return !bench::TestTone{path, seconds, bench::TestTone::Signal::Sine, 220 + 37 * index, {}}.make().isEmpty();
}

template <typename F> Times best(int rounds, const QString& outFolder, F&& once)
{
    Times result{1e300, 1e300};
    for (int r = 0; r < rounds; ++r) {
        bench::emptyFolder(outFolder);
        const double cpu0 = bench::processCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        if (!once())
            return {-1, -1};
        result.wall = std::min(result.wall, timer.nsecsElapsed() / 1e9);
        result.cpu = std::min(result.cpu, bench::processCpuSeconds() - cpu0);
    }
    bench::emptyFolder(outFolder);
    return result;
}

class PaintRecorder : public QObject {
public:
    int events = 0;
    qint64 pixels = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++events;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += qint64(r.width()) * r.height();
        }
        return QObject::eventFilter(watched, event);
    }
};

struct WindowRun {
    int chunks = 0;
    int paints = 0;
    double meanPaintedShare = 0; // of the rows area, per paint event
};

bool convertInWindow(const QStringList& files, const QString& outFolder, bool showGrid, WindowRun& stats)
{
    bench::BenchDesktop desktop;
    convert::ConversionState state;
    options::FormatOptions options;
    options.optFileFormat(options::FormatOptions::WAV).setValue(true);
    options.optOtherFolder.setValue(true);
    options.txtOutPath.setText(outFolder);
    auto list = std::make_unique<filelist::FileList>();
    filelist::GridView grid;
    grid.resize(740, 300);
    grid.bindList(list.get());
    if (showGrid)
        grid.show();
    PaintRecorder recorder;
    grid.viewport()->installEventFilter(&recorder);

    filelist::FileAdmission admission(desktop, [&] { return list.get(); });
    for (QString file : files)
        if (admission.AddFile2Grid(file) == 0)
            return false;
    convert::ConversionBatch batch(desktop, state, options, [&] { return list.get(); });
    QObject::connect(list.get(), &filelist::FileList::dataChanged, [&] { ++stats.chunks; });
    recorder.events = 0;
    recorder.pixels = 0;
    batch.cmdConvert.click();

    const qint64 area = qint64(grid.viewport()->width()) * grid.viewport()->height();
    stats.paints = recorder.events;
    stats.meanPaintedShare = recorder.events ? double(recorder.pixels) / recorder.events / double(area) : 0;
    for (const filelist::FileListRow& row : list->rows())
        if (!filelist::isComplete(row.state))
            return false;
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 2;

    std::printf("Making the inputs in %s (once) ...\n", qPrintable(kCache));
    std::fflush(stdout);
    const QStringList files = bench::oneHourBatch(kCache);
    const QString longFile = kCache + QStringLiteral("/long2h.flac");
    if (files.isEmpty() || !makeInput(longFile, kLongSeconds, 3)) {
        std::fprintf(stderr, "could not make the inputs\n");
        return 1;
    }

    testsupport::TonemillRun tonemill;
    tonemill.setVariable(QStringLiteral("TONEMILL_POWEROFF_COMMAND"), QStringLiteral("true"));
    const QString program = tonemill.program();
    const QProcessEnvironment env = tonemill.environment();
    QTemporaryDir out;
    const QString outFolder = out.filePath(QStringLiteral("wav"));

    std::printf("%d files, %d s of audio (FLAC, MP3, Ogg in turn), best of %d round(s)\n", bench::kOneHourFiles,
                bench::kOneHourFiles * bench::kOneHourSecondsEach, rounds);

    const Times ffmpeg = best(rounds, outFolder, [&] {
        for (const QString& file : files) {
            const QString target = outFolder + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".wav");
            if (!bench::runQuietly(QStringLiteral("ffmpeg"),
                                   {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                                    QStringLiteral("error"), QStringLiteral("-i"), file, QStringLiteral("-f"),
                                    QStringLiteral("wav"), target}))
                return false;
        }
        return true;
    });
    const Times cli = best(rounds, outFolder, [&] {
        return bench::runQuietly(program,
                                 QStringList{QStringLiteral("convert"), QStringLiteral("--format"),
                                             QStringLiteral("wav"), QStringLiteral("--output"), outFolder} +
                                     files,
                                 env);
    });

    engine::InitDecodingEngine();
    WindowRun window{};
    const Times windowTimes = best(rounds, outFolder, [&] {
        window = {};
        return convertInWindow(files, outFolder, true, window);
    });
    WindowRun hidden{};
    const Times hiddenTimes = best(rounds, outFolder, [&] { return convertInWindow(files, outFolder, false, hidden); });

    std::printf("ffmpeg -f wav per file : %7.2f s wall, %7.2f s cpu\n", ffmpeg.wall, ffmpeg.cpu);
    std::printf("tonemill convert       : %7.2f s wall, %7.2f s cpu\n", cli.wall, cli.cpu);
    std::printf("window (grid shown)    : %7.2f s wall, %7.2f s cpu\n", windowTimes.wall, windowTimes.cpu);
    std::printf("window (grid hidden)   : %7.2f s wall, %7.2f s cpu\n", hiddenTimes.wall, hiddenTimes.cpu);
    std::printf("ratio convert / ffmpeg : %.3f wall, %.3f cpu (target <= 1.0)\n", cli.wall / ffmpeg.wall,
                cli.cpu / ffmpeg.cpu);
    std::printf("ratio window / convert : %.3f wall, %.3f cpu (target <= 1.15)\n", windowTimes.wall / cli.wall,
                windowTimes.cpu / cli.cpu);
    std::printf("window: %d status writes, %d grid paints, mean painted share of the rows area %.3f\n", window.chunks,
                window.paints, window.meanPaintedShare);

    bench::emptyFolder(outFolder);
    const bench::MeasuredRun longRun =
        bench::MeasuredRun::of(program,
                               {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("wav"),
                                QStringLiteral("--output"), outFolder, longFile},
                               env);
    bench::emptyFolder(outFolder);
    const long peak = longRun.exitCode == 0 ? longRun.peakKb : -1;
    std::printf("peak memory (VmHWM) converting %d s: %.1f MB (target < 100 MB)\n", kLongSeconds, peak / 1024.0);
    return 0;
}
