// `tonemill probe` and `tonemill convert` given a CUE sheet: one row and one
// output per track, named Track01 … or by the tags the sheet gives, and
// decoded outputs that join up to the image bit for bit.

#include "support/CommandTest.h"
#include "support/DiscImage.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using testsupport::DiscImage;
using CommandRun = testsupport::TonemillResult;

QString ffprobeTag(const QString& file, const QString& tag)
{
    QByteArray out;
    testsupport::runProgram(QStringLiteral("ffprobe"),
                            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                             QStringLiteral("format_tags=") + tag, QStringLiteral("-of"),
                             QStringLiteral("default=nw=1:nk=1"), file},
                            &out);
    return QString::fromUtf8(out).trimmed();
}

class DiscCommandTest : public testsupport::CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        std::vector<DiscImage::Track> tracks;
        for (int t = 1; t <= 10; ++t)
            tracks.push_back({30 + 11 * t, t == 4 ? 20 : 0});
        ASSERT_TRUE(image.make(path(QStringLiteral("album.bin")), tracks, 10));
        ASSERT_TRUE(
            testsupport::writeFile(path(QStringLiteral("album.cue")), image.sheet(QStringLiteral("album.bin"))));
    }

    CommandRun run(const QString& command, const QStringList& arguments) const
    {
        return tonemill.run(QStringList{command} + arguments);
    }

    DiscImage image;
};

TEST_F(DiscCommandTest, ProbeListsEveryTrackOfASheet)
{
    const CommandRun probe = run(QStringLiteral("probe"), {QStringLiteral("album.cue")});
    EXPECT_EQ(probe.exitCode, 0) << probe.err.constData();
    ASSERT_EQ(probe.lines().size(), 10) << probe.out.constData();
    const QString sheet = path(QStringLiteral("album.cue"));
    EXPECT_EQ(probe.lines()[0], (sheet + QStringLiteral("#01\t00:01\tCD Track\tWaiting Conversion")).toUtf8());
    EXPECT_TRUE(probe.lines()[9].startsWith((sheet + QStringLiteral("#10\t")).toUtf8()));

    // A sheet that names a missing file is refused with the reason.
    ASSERT_TRUE(QFile::rename(path(QStringLiteral("album.bin")), path(QStringLiteral("moved.bin"))));
    const CommandRun missing = run(QStringLiteral("probe"), {QStringLiteral("album.cue")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains("names a file that is missing: album.bin")) << missing.err.constData();
}

TEST_F(DiscCommandTest, ADeviceWithoutAnAudioDiscIsRefusedWithTheReason)
{
    // No drive here: a block device that is none stands for an empty one.
    const QString device = QStringLiteral("/dev/loop0");
    if (!QFileInfo(device).exists())
        GTEST_SKIP() << "no block device to stand for a drive";
    const CommandRun probe = run(QStringLiteral("probe"), {device});
    EXPECT_EQ(probe.exitCode, 1);
    EXPECT_TRUE(probe.out.isEmpty()) << probe.out.constData();
    EXPECT_TRUE(probe.err.contains("\"/dev/loop0\" can not be read: it is no CUE sheet, or the drive holds no disc."))
        << probe.err.constData();
}

TEST_F(DiscCommandTest, ConvertSplitsAnImageIntoTaggedFlacTracksThatJoinUpExactly)
{
    const CommandRun convert =
        run(QStringLiteral("convert"), {QStringLiteral("--format"), QStringLiteral("flac"), QStringLiteral("--output"),
                                        QStringLiteral("OUT"), QStringLiteral("album.cue")});
    EXPECT_EQ(convert.exitCode, 0) << convert.err.constData();
    ASSERT_EQ(convert.lines().size(), 10) << convert.out.constData();
    const QString out = path(QStringLiteral("OUT"));
    EXPECT_TRUE(convert.lines()[0].startsWith(
        (path(QStringLiteral("album.cue")) + QStringLiteral("#01\t") + out + QStringLiteral("/Track01.flac\tComplete"))
            .toUtf8()))
        << convert.lines()[0].constData();
    QByteArray joined;
    for (int t = 1; t <= 10; ++t) {
        const QString flac = out + QStringLiteral("/Track%1.flac").arg(t, 2, 10, QLatin1Char('0'));
        const QByteArray pcm = testsupport::decodeWithFfmpeg(flac);
        EXPECT_TRUE(pcm == image.track(t)) << t;
        joined += pcm;
        EXPECT_EQ(ffprobeTag(flac, QStringLiteral("title")), QStringLiteral("Title %1").arg(t));
        EXPECT_EQ(ffprobeTag(flac, QStringLiteral("artist")), QStringLiteral("Artist %1").arg(t));
        EXPECT_EQ(ffprobeTag(flac, QStringLiteral("album")), QStringLiteral("Album"));
        EXPECT_EQ(ffprobeTag(flac, QStringLiteral("track")).section(u'/', 0, 0), QString::number(t));
        EXPECT_EQ(ffprobeTag(flac, QStringLiteral("genre")), QStringLiteral("Rock"));
    }
    EXPECT_TRUE(joined == image.audio());

    // Again: the names are taken, so the usual collision rule applies.
    const CommandRun again =
        run(QStringLiteral("convert"), {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output"),
                                        QStringLiteral("OUT"), QStringLiteral("album.cue#03")});
    EXPECT_EQ(again.exitCode, 0) << again.err.constData();
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/Track03.wav"))) << again.out.constData();
}

TEST_F(DiscCommandTest, ANamePatternFilesARipByItsSheet)
{
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("ffmpeg"),
                                      {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                       QStringLiteral("s16le"), QStringLiteral("-ar"), QStringLiteral("44100"),
                                       QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"),
                                       path(QStringLiteral("album.bin")), path(QStringLiteral("rip.flac"))}),
              0);
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("rip.cue")),
                                       image.sheet(QStringLiteral("rip.flac"), QStringLiteral("WAVE"))));
    const CommandRun convert =
        run(QStringLiteral("convert"),
            {QStringLiteral("--format"), QStringLiteral("flac"), QStringLiteral("--output"), QStringLiteral("OUT"),
             QStringLiteral("--name-pattern"), QStringLiteral("{artist}/{album}/{track:02} - {title}"),
             QStringLiteral("rip.cue")});
    EXPECT_EQ(convert.exitCode, 0) << convert.err.constData();
    for (int t = 1; t <= 10; ++t) {
        // A FLAC rip split into FLAC tracks: each exactly its segment of the rip.
        const QString flac =
            path(QStringLiteral("OUT/Artist %1/Album/%2 - Title %1.flac")).arg(t).arg(t, 2, 10, QLatin1Char('0'));
        EXPECT_TRUE(testsupport::decodeWithFfmpeg(flac) == image.track(t)) << qPrintable(flac);
    }
}

} // namespace
