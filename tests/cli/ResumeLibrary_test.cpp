// A library converted in two halves: the first run is killed (kill -9) half
// way, the second started with --skip-existing finishes it, with one whole
// output per input and nothing else.

#include "support/CommandTest.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

constexpr int kArtists = 10;
constexpr int kAlbums = 10;
constexpr int kTracks = 20;
constexpr int kFiles = kArtists * kAlbums * kTracks;

//! The files below `folder`, hidden ones too, relative to it.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    return files;
}

class ResumeLibraryTest : public testsupport::CommandTest {};

TEST_F(ResumeLibraryTest, AKilledRunStartedAgainFinishesTheLibraryWithoutDuplicatesOrHalfFiles)
{
    // Three levels: artist, album, track; 2,000 short files.
    const QString tone = path(QStringLiteral("tone.flac"));
    ASSERT_TRUE(testsupport::makeTone(tone, 0.3, 44100, 2));
    QStringList wanted;
    for (int artist = 0; artist < kArtists; ++artist)
        for (int album = 0; album < kAlbums; ++album) {
            const QString folder = QStringLiteral("Artist %1/Album %2").arg(artist).arg(album);
            ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("lib/") + folder)));
            for (int track = 0; track < kTracks; ++track) {
                const QString name = folder + QStringLiteral("/%1 Track.flac").arg(track, 2, 10, QLatin1Char('0'));
                ASSERT_TRUE(QFile::copy(tone, path(QStringLiteral("lib/") + name)));
                wanted << name.chopped(4) + QStringLiteral("wav");
            }
        }
    wanted.sort();
    const QString out = path(QStringLiteral("out"));
    const QStringList arguments = {QStringLiteral("convert"),     QStringLiteral("--format=wav"),
                                   QStringLiteral("--output"),    out,
                                   QStringLiteral("--recursive"), QStringLiteral("--keep-tree"),
                                   QStringLiteral("--jobs=2"),    path(QStringLiteral("lib"))};

    // The first run, killed once half the outputs are there.
    QProcess first;
    // Nobody reads its lines while it runs: a full pipe would hold it up.
    first.setStandardOutputFile(QProcess::nullDevice());
    tonemill.start(first, arguments);
    ASSERT_TRUE(first.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    while (filesBelow(out).size() < kFiles / 2 && timer.elapsed() < 120000 && first.state() == QProcess::Running)
        QThread::msleep(50);
    ASSERT_EQ(first.state(), QProcess::Running) << "the first run ended before it could be killed";
    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(60000));

    // Whatever carries a final name is whole; the rest is marked temporary.
    const qint64 whole = 44 + 13230 * 4; // 0.3 s of 16-bit stereo at 44.1 kHz
    int named = 0;
    for (const QString& file : filesBelow(out)) {
        if (QFileInfo(file).fileName().startsWith(QLatin1String(".tonemill-")))
            continue;
        ++named;
        EXPECT_EQ(QFileInfo(out + u'/' + file).size(), whole) << qPrintable(file);
    }
    ASSERT_GE(named, kFiles / 2);
    ASSERT_LT(named, kFiles) << "the kill came too late to leave work for the second run";

    // The second run, started again with --skip-existing.
    const testsupport::TonemillResult second =
        tonemill.run(arguments + QStringList{QStringLiteral("--skip-existing"), QStringLiteral("--json")});
    EXPECT_EQ(second.exitCode, 0) << second.err.constData();
    const QList<QByteArray> lines = second.lines();
    ASSERT_EQ(lines.size(), kFiles + 1);
    EXPECT_EQ(lines.mid(0, kFiles).count(QByteArray()), 0);
    qsizetype skipped = 0;
    qsizetype complete = 0;
    for (const QByteArray& line : lines.mid(0, kFiles)) {
        skipped += line.contains("\"status\":\"Skipped\"");
        complete += line.contains("\"status\":\"Complete\"");
    }
    EXPECT_EQ(skipped, named);
    EXPECT_EQ(skipped + complete, kFiles);
    EXPECT_TRUE(
        lines.last().startsWith("{\"totals\":{\"schema\":1,\"rows\":2000,\"complete\":" + QByteArray::number(complete) +
                                ",\"skipped\":" + QByteArray::number(skipped) + ","))
        << lines.last().constData();

    // Exactly one whole output per input: no "_Converted", no half file, no
    // temporary file left.
    QStringList made = filesBelow(out);
    made.sort();
    EXPECT_EQ(made, wanted);
    for (const QString& file : made)
        EXPECT_EQ(QFileInfo(out + u'/' + file).size(), whole) << qPrintable(file);
}

} // namespace
