// Times the cost of carrying tags: the one-hour batch (20 tagged files of 3
// minutes, FLAC, MP3 and Ogg in turn, each with ten text fields and a JPEG
// cover; made once under /tmp) converted by `tonemill convert` with "Copy tags
// from the input" off and on, for WAV and for OGG output.
// Target: the time with tags at most 2 % above the time without. Both the
// wall time and the processor time of the program and its encoders are
// printed: on a shared, loaded machine the processor time is the steadier.
// Usage: tags_bench [ROUNDS] [FORMAT...]; each timing is the best of ROUNDS
// (default 3), formats default to wav and ogg.

#include "support/Commands.h"
#include "support/Fixtures.h"
#include "support/Folders.h"
#include "support/OneHourBatch.h"
#include "support/Timing.h"
#include "support/TonemillRun.h"
#include "tags/WriteFileTags.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-tags-bench-cache");

engine::MediaTags benchTags(int index, const QByteArray& cover)
{
    engine::MediaTags tags;
    tags.title = QStringLiteral("Stück Nummer %1 – 東京").arg(index);
    tags.artist = QStringLiteral("Ærøskøbing Ensemble");
    tags.album = QStringLiteral("Une heure de sons");
    tags.albumArtist = QStringLiteral("Various");
    tags.track = QStringLiteral("%1/%2").arg(index + 1).arg(bench::kOneHourFiles);
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
    if (!QFile::exists(coverPath) && !testsupport::makeFromLavfi(coverPath, QStringLiteral("testsrc=size=600x600"),
                                                                 {QStringLiteral("-frames:v"), QStringLiteral("1")}))
        return {};
    const QByteArray cover = testsupport::readFile(coverPath);
    if (cover.isEmpty())
        return {};

    // The batch's files are FLAC, MP3 and Ogg in turn.
    static const tags::TagFormat formats[] = {tags::TagFormat::Flac, tags::TagFormat::Mp3, tags::TagFormat::Ogg};
    return bench::oneHourBatch(kCache, [&cover](const QString& file, int index) {
        return tags::WriteFileTags(file, formats[index % 3], benchTags(index, cover));
    });
}

struct Times {
    double wall = 1e300; // s
    double cpu = 1e300;  // s of processor time of the finished children
};

//! Keeps in `best` the lower times of one conversion of the batch; false on
//! a failure.
bool timeOnce(Times& best, const QString& program, const QStringList& arguments, const QString& outFolder,
              const QProcessEnvironment& env)
{
    bench::emptyFolder(outFolder);
    const double cpu0 = bench::childrenCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (!bench::runQuietly(program, arguments, env))
        return false;
    best.wall = std::min(best.wall, double(timer.nsecsElapsed()) / 1e9);
    best.cpu = std::min(best.cpu, bench::childrenCpuSeconds() - cpu0);
    bench::emptyFolder(outFolder);
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

    std::printf("Making the tagged inputs in %s (once) ...\n", qPrintable(kCache));
    std::fflush(stdout);
    const QStringList files = makeBatch();
    if (files.isEmpty()) {
        std::fprintf(stderr, "could not make the inputs\n");
        return 1;
    }

    const testsupport::TonemillRun tonemill;
    const QString program = tonemill.program();
    const QProcessEnvironment env = tonemill.environment();
    QTemporaryDir out;
    const QString outFolder = out.filePath(QStringLiteral("out"));

    std::printf("%d tagged files, %d s of audio, best of %d round(s), off and on alternating\n", bench::kOneHourFiles,
                bench::kOneHourFiles * bench::kOneHourSecondsEach, rounds);
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
