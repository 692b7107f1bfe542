// Times the cost of carrying tags: the one-hour batch (20 tagged files of 3
// minutes, FLAC, MP3 and Ogg in turn, each with ten text fields and a JPEG
// cover; made once under /tmp) converted by `tonemill convert` with "Copy tags
// from the input" off and on, for WAV and for OGG output.
// Target: the time with tags at most 2 % above the time without. Both the
// wall time and the processor time of the program and its encoders are
// printed: on a shared, loaded machine the processor time is the steadier.
// Usage: tags_bench [ROUNDS] [FORMAT...]; each timing is the best of ROUNDS
// (default 3), formats default to wav and ogg.

#include "convert/WriteFileTags.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-tags-bench-cache");
constexpr int kFiles = 20;
constexpr int kSecondsEach = 180; // 20 × 3 minutes = one hour

bool run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, arguments);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool ffmpeg(const QStringList& arguments)
{
    return run(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                                                     QStringLiteral("error"), QStringLiteral("-y")} +
                                             arguments);
}

MediaTags benchTags(int index, const QByteArray& cover)
{
    MediaTags tags;
    tags.title = QStringLiteral("Stück Nummer %1 – 東京").arg(index);
    tags.artist = QStringLiteral("Ærøskøbing Ensemble");
    tags.album = QStringLiteral("Une heure de sons");
    tags.albumArtist = QStringLiteral("Various");
    tags.track = QStringLiteral("%1/%2").arg(index + 1).arg(kFiles);
    tags.disc = QStringLiteral("1/1");
    tags.date = QStringLiteral("2024");
    tags.genre = QStringLiteral("Ambient");
    tags.comment = QStringLiteral("A sine tone with noise");
    tags.composer = QStringLiteral("Antonín Dvořák");
    tags.cover = cover;
    tags.coverMime = QStringLiteral("image/jpeg");
    return tags;
}

//! The batch, made once: a tone with some noise per file, then its tags.
QStringList makeBatch()
{
    QDir().mkpath(kCache);
    const QString coverPath = kCache + QStringLiteral("/cover.jpg");
    if (!QFile::exists(coverPath) &&
        !ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                 QStringLiteral("testsrc=size=600x600"), QStringLiteral("-frames:v"), QStringLiteral("1"), coverPath}))
        return {};
    QFile coverFile(coverPath);
    if (!coverFile.open(QIODevice::ReadOnly))
        return {};
    const QByteArray cover = coverFile.readAll();

    static const char* const kinds[] = {"flac", "mp3", "ogg"};
    static const convert::TagFormat formats[] = {convert::TagFormat::Flac, convert::TagFormat::Mp3,
                                                 convert::TagFormat::Ogg};
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        const QString path =
            kCache + QStringLiteral("/in%1.%2").arg(i, 2, 10, QLatin1Char('0')).arg(QLatin1String(kinds[i % 3]));
        if (!QFile::exists(path)) {
            const QString partial = path + QStringLiteral(".part.") + QFileInfo(path).suffix();
            const bool made =
                ffmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2")
                            .arg(220 + 37 * i)
                            .arg(kSecondsEach),
                        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                        QStringLiteral("anoisesrc=sample_rate=44100:amplitude=0.05:duration=%1").arg(kSecondsEach),
                        QStringLiteral("-filter_complex"), QStringLiteral("amix=inputs=2"), QStringLiteral("-ac"),
                        QStringLiteral("2"), partial}) &&
                convert::WriteFileTags(partial, formats[i % 3], benchTags(i, cover));
            if (!made || !QFile::rename(partial, path))
                return {};
        }
        files << path;
    }
    return files;
}

void emptyFolder(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

struct Times {
    double wall = 1e300; // s
    double cpu = 1e300;  // s of processor time of the finished children
};

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

//! Keeps in `best` the lower times of one conversion of the batch; false on
//! a failure.
bool timeOnce(Times& best, const QString& program, const QStringList& arguments, const QString& outFolder,
              const QProcessEnvironment& env)
{
    emptyFolder(outFolder);
    const double cpu0 = childCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (!run(program, arguments, env))
        return false;
    best.wall = std::min(best.wall, double(timer.nsecsElapsed()) / 1e9);
    best.cpu = std::min(best.cpu, childCpuSeconds() - cpu0);
    emptyFolder(outFolder);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QStringList formats;
    for (int i = 2; i < argc; ++i)
        formats << QString::fromLocal8Bit(argv[i]);
    if (formats.isEmpty())
        formats = {QStringLiteral("wav"), QStringLiteral("ogg")};
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/tonemill");

    std::printf("Making the tagged inputs in %s (once) ...\n", qPrintable(kCache));
    std::fflush(stdout);
    const QStringList files = makeBatch();
    if (files.isEmpty()) {
        std::fprintf(stderr, "could not make the inputs\n");
        return 1;
    }

    QTemporaryDir home, config, out;
    QDir().mkpath(home.filePath(QStringLiteral("Lang")));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TONEMILL_HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const QString outFolder = out.filePath(QStringLiteral("out"));

    std::printf("%d tagged files, %d s of audio, best of %d round(s), off and on alternating\n", kFiles,
                kFiles * kSecondsEach, rounds);
    for (const QString& format : formats) {
        auto arguments = [&](bool copy) {
            return QStringList{
                       QStringLiteral("convert"),
                       QStringLiteral("--format"),
                       format,
                       QStringLiteral("--output"),
                       outFolder,
                       QStringLiteral("--option"),
                       QStringLiteral("chkCopyTags=%1").arg(copy ? QStringLiteral("True") : QStringLiteral("False"))} +
                   files;
        };
        // Rounds of the two alternate, so a change in the machine's load
        // touches both alike.
        Times without, with;
        for (int r = 0; r < rounds; ++r) {
            if (!timeOnce(without, program, arguments(false), outFolder, env) ||
                !timeOnce(with, program, arguments(true), outFolder, env)) {
                std::fprintf(stderr, "conversion to %s failed\n", qPrintable(format));
                return 1;
            }
        }
        std::printf("%-4s wall: without tags %7.2f s, with tags %7.2f s: %+.2f %%\n", qPrintable(format), without.wall,
                    with.wall, (with.wall / without.wall - 1) * 100);
        std::printf("%-4s cpu : without tags %7.2f s, with tags %7.2f s: %+.2f %% (target < 2 %%)\n",
                    qPrintable(format), without.cpu, with.cpu, (with.cpu / without.cpu - 1) * 100);
        std::fflush(stdout);
    }
    return 0;
}
