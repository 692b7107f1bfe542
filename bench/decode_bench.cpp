// Decoding speed and memory of the engine against ffmpeg itself.
//
// Makes (once, cached under /tmp) ten-minute inputs in WAV, FLAC, MP3, AAC and
// Ogg Vorbis, decodes each to the end through the engine (OpenStream with
// BASS_STREAM_DECODE, the length read once, BASS_ChannelGetData in 20000-byte
// chunks) and with `ffmpeg -i IN -f s16le -y /dev/null`, and prints the ratio
// of the engine's time to ffmpeg's (best of three runs each). Then it decodes
// a short and a long input in fresh processes and prints their peak resident
// memory, which should not grow with the input's length.
//
// Usage: decode_bench [--minutes N]      (default 10)
//        decode_bench --rss FILE         (internal: decode FILE, print VmHWM in kB)

#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "support/BenchArguments.h"
#include "support/Commands.h"
#include "support/ProcessMemory.h"
#include "support/TestTone.h"
#include "support/Timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <vector>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-decode-bench");

//! A ten-minute (or `minutes`) stereo mix of a tone and soft noise, so the
//! lossless encoders have something real to compress.
QString input(const QString& name, int seconds, const QStringList& codecOptions)
{
    return bench::TestTone{kCache + QLatin1Char('/') + name, seconds, bench::TestTone::Signal::Sine, 440, codecOptions}
        .make();
}

//! Decodes the whole file through the engine; returns the bytes delivered.
qint64 decodeWithEngine(const QString& path)
{
    const HSTREAM handle = engine::OpenStream(false, path, 0, 0, BASS_STREAM_DECODE);
    if (!handle) {
        std::fprintf(stderr, "cannot open %s: %d\n", qPrintable(path), BASS_ErrorGetCode());
        return -1;
    }
    const QWORD length = BASS_ChannelGetLength(handle, BASS_POS_BYTE);
    std::vector<char> buffer(20000);
    qint64 total = 0;
    while (true) {
        const DWORD got = BASS_ChannelGetData(handle, buffer.data(), 20000);
        if (got == DWORD(-1))
            break;
        total += got;
    }
    if (QWORD(total) != length)
        std::fprintf(stderr, "length %llu but %lld bytes delivered for %s\n", static_cast<unsigned long long>(length),
                     static_cast<long long>(total), qPrintable(path));
    BASS_StreamFree(handle);
    return total;
}

long rssOfChild(const QString& path)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss"), path});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return -1;
    return process.readAllStandardOutput().trimmed().toLong();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    engine::LoadFormatModules();
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--rss")) {
        if (decodeWithEngine(args[2]) < 0)
            return 1;
        std::printf("%ld\n", bench::ownMemoryKb("VmHWM"));
        return 0;
    }
    const int minutes = bench::BenchArguments(args).number(QStringLiteral("--minutes"), 10);

    QDir().mkpath(kCache);
    struct Format {
        const char* label;
        const char* extension;
        QStringList options;
    };
    const std::vector<Format> formats{
        {"WAV", "wav", {}},
        {"FLAC", "flac", {}},
        {"MP3",
         "mp3",
         {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("192k")}},
        {"AAC", "m4a", {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("160k")}},
        {"Vorbis",
         "ogg",
         {QStringLiteral("-c:a"), QStringLiteral("libvorbis"), QStringLiteral("-q:a"), QStringLiteral("5")}},
    };

    std::printf("Decoding %d-minute inputs to 16-bit PCM (best of 3 runs each)\n", minutes);
    std::printf("%-8s %10s %10s %8s\n", "format", "engine s", "ffmpeg s", "ratio");
    for (const Format& format : formats) {
        const QString path = input(QStringLiteral("long-%1min.%2").arg(minutes).arg(QLatin1String(format.extension)),
                                   minutes * 60, format.options);
        if (path.isEmpty()) {
            std::printf("%-8s could not be made\n", format.label);
            continue;
        }
        const double ours = bench::bestSeconds(3, [&] { return decodeWithEngine(path) > 0; });
        const double theirs = bench::bestSeconds(3, [&] {
            return bench::runQuietly(QStringLiteral("ffmpeg"),
                                     {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"), path,
                                      QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-y"),
                                      QStringLiteral("/dev/null")});
        });
        std::printf("%-8s %10.3f %10.3f %7.2fx\n", format.label, ours, theirs, theirs > 0 ? ours / theirs : 0.0);
    }

    std::printf("\nPeak resident memory of a process decoding one input (VmHWM)\n");
    std::printf("%-8s %14s %14s\n", "format", "10 s input",
                QStringLiteral("%1 min input").arg(minutes).toLatin1().constData());
    for (const Format& format : formats) {
        const QString shortPath =
            input(QStringLiteral("short-10s.%1").arg(QLatin1String(format.extension)), 10, format.options);
        const QString longPath =
            kCache + QStringLiteral("/long-%1min.%2").arg(minutes).arg(QLatin1String(format.extension));
        if (shortPath.isEmpty() || !QFileInfo::exists(longPath))
            continue;
        std::printf("%-8s %11ld kB %11ld kB\n", format.label, rssOfChild(shortPath), rssOfChild(longPath));
    }
    return 0;
}
