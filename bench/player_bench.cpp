// A conversion's time with playback beside it and without (target: at most
// 10 % slower with playback), and how long the player's engine calls hold the
// user-interface thread.
//
// Makes (once, cached under /tmp) a 10-minute FLAC file to convert and a
// 3-minute MP3 file to play, then runs the window's batch (offscreen, the
// grid shown) on the FLAC file, to WAV and to MP3, in alternating rounds:
// without playback and with the MP3 file playing in a loop through the
// player. Each figure is the best of its rounds; the machine may be shared,
// and the best round is the one least disturbed by others. Playback goes to
// the sound server's default output (TONEMILL_AUDIO_DEVICE chooses another).
// Usage: player_bench [ROUNDS] (default 5)

#include "convert/ConversionBatch.h"
#include "engine/AudioEngine.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/GridView.h"
#include "options/FormatOptions.h"
#include "player/PlayerPanel.h"
#include "support/BenchDesktop.h"
#include "support/LoadAverage.h"
#include "support/TestTone.h"
#include "support/Timing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-player-bench-cache");

//! Makes `name` in the cache with ffmpeg: a tone with some noise.
QString makeInput(const QString& name, int seconds, int frequency, const QStringList& codec)
{
    QDir().mkpath(kCache);
    return bench::TestTone{kCache + u'/' + name, seconds, bench::TestTone::Signal::Sine, frequency, codec}.make();
}

struct Times {
    double wall = 1e300; // s
    double cpu = 1e300;  // s of processor time, this process and its children
};

//! Converts `input` once with the window's batch; false when the row did
//! not complete.
bool convertOnce(bench::BenchDesktop& desktop, const QString& input, int format, const QString& outFolder, Times& best)
{
    QDir(outFolder).removeRecursively();
    convert::ConversionState state;
    options::FormatOptions options;
    options.optFileFormat(format).setValue(true);
    options.optOtherFolder.setValue(true);
    options.txtOutPath.setText(outFolder);
    auto list = std::make_unique<filelist::FileList>();
    filelist::GridView grid;
    grid.resize(740, 270);
    grid.bindList(list.get());
    grid.show();
    filelist::FileAdmission admission(desktop, [&] { return list.get(); });
    QString path = input;
    if (admission.AddFile2Grid(path) != 1)
        return false;
    convert::ConversionBatch batch(desktop, state, options, [&] { return list.get(); });

    const double cpu0 = bench::processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    batch.cmdConvert.click();
    best.wall = std::min(best.wall, double(timer.nsecsElapsed()) / 1e9);
    best.cpu = std::min(best.cpu, bench::processCpuSeconds() - cpu0);
    return filelist::isComplete(list->at(0).state);
}

//! Milliseconds `call` holds the calling thread.
template <typename F> double heldMs(F&& call)
{
    QElapsedTimer timer;
    timer.start();
    call();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    std::printf("Making the inputs in %s (once) ...\n", qPrintable(kCache));
    std::fflush(stdout);
    const QString toConvert =
        makeInput(QStringLiteral("convert10min.flac"), 600, 330, {QStringLiteral("-c:a"), QStringLiteral("flac")});
    const QString toPlay = makeInput(
        QStringLiteral("play3min.mp3"), 180, 440,
        {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("192k")});
    if (toConvert.isEmpty() || toPlay.isEmpty()) {
        std::fprintf(stderr, "could not make the inputs (is ffmpeg installed?)\n");
        return 1;
    }

    bench::BenchDesktop desktop;
    if (!engine::InitAudioEngine(desktop)) {
        std::fprintf(stderr, "the engine could not start: is a sound server running?\n");
        return 1;
    }

    // The player, with a grid of its own holding the file it plays.
    filelist::FileList playlist;
    filelist::FileListRow row;
    row.path = toPlay;
    playlist.append(row);
    filelist::GridView playerGrid;
    playerGrid.bindList(&playlist);
    player::PlayerPanel panel(desktop, &playerGrid);
    player::Player& player = panel.player();

    // How long the engine calls of the buttons hold the user-interface
    // thread (the decoding itself runs on the output thread).
    double playMs = 0, pauseMs = 0, resumeMs = 0, stopMs = 0;
    constexpr int kCalls = 10;
    for (int i = 0; i < kCalls; ++i) {
        playMs = std::max(playMs, heldMs([&] { player.PlayFile(toPlay); }));
        QCoreApplication::processEvents();
        pauseMs = std::max(pauseMs, heldMs([&] { player.PausePlayback(); }));
        resumeMs = std::max(resumeMs, heldMs([&] { player.ResumePlayback(); }));
        stopMs = std::max(stopMs, heldMs([&] { player.cmdStop_Click(); }));
    }
    if (desktop.boxes() > 0 || player.hPlayChannel() != 0) {
        std::fprintf(stderr, "the player refused to play %s\n", qPrintable(toPlay));
        return 1;
    }

    std::printf("load average: %s\n", qPrintable(bench::loadAverage()));
    QTemporaryDir out;
    const QString outFolder = out.filePath(QStringLiteral("out"));
    std::printf("convert %s (600 s) while playing %s (180 s, looping); best of %d round(s)\n",
                qPrintable(QFileInfo(toConvert).fileName()), qPrintable(QFileInfo(toPlay).fileName()), rounds);
    std::printf("%-6s %22s %22s %12s\n", "", "without playback", "with playback", "");
    std::printf("%-6s %10s %11s %10s %11s %12s\n", "format", "wall (s)", "cpu (s)", "wall (s)", "cpu (s)",
                "wall ratio");
    bool ok = true;
    double worst = 0;
    for (const int format : {options::FormatOptions::WAV, options::FormatOptions::MP3}) {
        Times quiet, playing;
        const auto withPlayback = [&] {
            player.PlayFile(toPlay);
            ok = convertOnce(desktop, toConvert, format, outFolder, playing) && ok;
            ok = ok && BASS_ChannelIsActive(player.hPlayChannel()) == BASS_ACTIVE_PLAYING;
            player.cmdStop_Click();
        };
        // Which goes first alternates, so neither side always follows the other.
        for (int r = 0; r < rounds; ++r) {
            if (r % 2 == 1)
                withPlayback();
            ok = convertOnce(desktop, toConvert, format, outFolder, quiet) && ok;
            if (r % 2 == 0)
                withPlayback();
        }
        const double ratio = playing.wall / quiet.wall;
        worst = std::max(worst, ratio);
        std::printf("%-6s %10.2f %11.2f %10.2f %11.2f %12.3f\n", format == options::FormatOptions::WAV ? "WAV" : "MP3",
                    quiet.wall, quiet.cpu, playing.wall, playing.cpu, ratio);
    }
    std::printf("longest hold of the user-interface thread over %d calls: PlayFile (open + start) %.1f ms, "
                "pause %.1f ms, resume %.1f ms, stop %.1f ms\n",
                kCalls, playMs, pauseMs, resumeMs, stopMs);
    std::printf("slowest conversion with playback: %.1f %% of its time without (target: at most 110 %%)\n",
                worst * 100);
    BASS_Free();
    if (!ok) {
        std::fprintf(stderr, "a conversion did not complete, or playback stopped during one\n");
        return 1;
    }
    return worst <= 1.10 ? 0 : 2;
}
