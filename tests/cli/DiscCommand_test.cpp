// `tonemill probe` and `tonemill convert` given a CUE sheet: one row and one
// output per track, named Track01 … or by the tags the sheet gives, and
// decoded outputs that join up to the image bit for bit.

#include "support/CommandTest.h"
#include "support/DiscImage.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

//! The first channel of 16-bit stereo PCM.
std::vector<double> leftChannel(const QByteArray& pcm)
{
    std::vector<double> left(std::size_t(pcm.size() / 4));
    for (std::size_t i = 0; i < left.size(); ++i) {
        std::int16_t sample = 0;
        std::memcpy(&sample, pcm.constData() + 4 * i, sizeof sample);
        left[i] = sample;
    }
    return left;
}

//! How many samples later than in `input` the audio comes in `decoded`: the
//! shift, within `reach`, where a stretch from the middle matches best.
int lagOf(const std::vector<double>& input, const std::vector<double>& decoded, int reach)
{
    const int from = int(input.size() / 3);
    constexpr int kStretch = 4096;
    int best = 0;
    double bestDistance = -1;
    for (int lag = -reach; lag <= reach; ++lag) {
        double distance = 0;
        for (int i = from; i < from + kStretch; ++i) {
            const double d = decoded[std::size_t(i + lag)] - input[std::size_t(i)];
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = lag;
        }
    }
    return best;
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

TEST_F(DiscCommandTest, ARipFolderConvertsAsItsTracksOnly)
{
    // A one-file rip (rip.flac and its sheet) and a rip with one file per
    // track (three WAV files and theirs), each in a folder of its own.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("lib/one"))) && QDir().mkpath(path(QStringLiteral("lib/per"))));
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("ffmpeg"),
                                      {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                       QStringLiteral("s16le"), QStringLiteral("-ar"), QStringLiteral("44100"),
                                       QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"),
                                       path(QStringLiteral("album.bin")), path(QStringLiteral("lib/one/rip.flac"))}),
              0);
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("lib/one/rip.cue")),
                                       image.sheet(QStringLiteral("rip.flac"), QStringLiteral("WAVE"))));
    QByteArray perTrack;
    QByteArray listed;
    for (int t = 1; t <= 3; ++t) {
        const QString wav = path(QStringLiteral("lib/per/%1.wav").arg(t));
        ASSERT_TRUE(testsupport::writeFile(wav + QStringLiteral(".raw"), image.track(t)));
        ASSERT_EQ(testsupport::runProgram(QStringLiteral("ffmpeg"),
                                          {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                           QStringLiteral("s16le"), QStringLiteral("-ar"), QStringLiteral("44100"),
                                           QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"),
                                           wav + QStringLiteral(".raw"), wav}),
                  0);
        ASSERT_TRUE(QFile::remove(wav + QStringLiteral(".raw")));
        perTrack += QStringLiteral("FILE \"%1.wav\" WAVE\n  TRACK %1 AUDIO\n    INDEX 01 00:00:00\n").arg(t).toUtf8();
        listed += wav.toUtf8() + '\n';
    }
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("lib/per/per.cue")), perTrack));

    const CommandRun convert = run(QStringLiteral("convert"),
                                   {QStringLiteral("--json"), QStringLiteral("--format"), QStringLiteral("wav"),
                                    QStringLiteral("--output"), QStringLiteral("OUT"), QStringLiteral("--keep-tree"),
                                    QStringLiteral("--recursive"), QStringLiteral("lib")});
    EXPECT_EQ(convert.exitCode, 0) << convert.err.constData();
    // 13 tracks, the 4 files taken as tracks (named, not failing) and the totals.
    ASSERT_EQ(convert.lines().size(), 18) << convert.out.constData();
    int tracks = 0;
    int taken = 0;
    for (qsizetype i = 0; i < 17; ++i) {
        const QJsonDocument line = QJsonDocument::fromJson(convert.lines()[i]);
        tracks += line[QStringLiteral("input")].toString().contains(QLatin1String(".cue#")) ? 1 : 0;
        taken += line[QStringLiteral("reason")].toString() == QLatin1String("taken as a sheet's track") ? 1 : 0;
    }
    EXPECT_EQ(tracks, 13);
    EXPECT_EQ(taken, 4);
    EXPECT_EQ(QJsonDocument::fromJson(convert.lines()[17])[QStringLiteral("totals")][QStringLiteral("files_as_tracks")],
              4);
    EXPECT_EQ(convert.err.count("refused: taken as a sheet's track: "), 4) << convert.err.constData();
    EXPECT_EQ(QDir(path(QStringLiteral("OUT/one"))).entryList(QDir::Files).size(), 10);
    EXPECT_EQ(QDir(path(QStringLiteral("OUT/per"))).entryList(QDir::Files).size(), 3);
    for (int t = 1; t <= 3; ++t)
        EXPECT_TRUE(testsupport::decodeWithFfmpeg(
                        path(QStringLiteral("OUT/per/Track%1.wav").arg(t, 2, 10, QLatin1Char('0')))) == image.track(t))
            << t;

    // The same through a list of paths; a file named by a sheet but added
    // without it is a row of its own.
    listed += path(QStringLiteral("lib/per/per.cue")).toUtf8() + '\n';
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("list.txt")), listed));
    const CommandRun probe = run(QStringLiteral("probe"), {QStringLiteral("--files-from"), QStringLiteral("list.txt")});
    EXPECT_EQ(probe.lines().size(), 3) << probe.out.constData();
    const CommandRun alone = run(QStringLiteral("probe"), {QStringLiteral("lib/one/rip.flac")});
    ASSERT_EQ(alone.lines().size(), 1) << alone.out.constData();
    EXPECT_TRUE(alone.lines()[0].startsWith(path(QStringLiteral("lib/one/rip.flac\t")).toUtf8()));
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

TEST_F(DiscCommandTest, EveryFormatDecodesAsLongAsItsInputAndSaysSo)
{
    // Lengths that are no multiple of any codec's frame: a sweep (its shift
    // after decoding can be told) and the three tracks of a sheet.
    constexpr qint64 kToneSamples = 147001;
    ASSERT_TRUE(testsupport::makeFromLavfi(path(QStringLiteral("tone.wav")),
                                           QStringLiteral("aevalsrc=0.5*sin(2*PI*(300+150*t)*t):s=44100:d=4:c=stereo"),
                                           {QStringLiteral("-af"), QStringLiteral("atrim=end_sample=147001")}));
    DiscImage three;
    ASSERT_TRUE(three.make(path(QStringLiteral("three.bin")), {{157, 0}, {173, 30}, {211, 0}}));
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("three.cue")), three.sheet(QStringLiteral("three.bin"))));
    const std::vector<qint64> inputs{kToneSamples, three.track(1).size() / 4, three.track(2).size() / 4,
                                     three.track(3).size() / 4};
    const std::vector<double> tone = leftChannel(testsupport::decodeWithFfmpeg(path(QStringLiteral("tone.wav"))));
    ASSERT_EQ(qint64(tone.size()), kToneSamples);

    // ffmpeg trims the delay and padding encoders store, but not the end
    // padding of AAC in MP4 (its edit list's end), and WMA has no field for
    // either: those decode up to one frame longer, never shorter. Opus is
    // resampled to 48 kHz, whose length rounds up to a sample.
    const struct {
        const char* format;
        int rate;
        int longer;
    } formats[] = {{"wav", 44100, 0},  {"flac", 44100, 0},   {"ogg", 44100, 0},   {"mp3", 44100, 0},
                   {"opus", 48000, 1}, {"m4a", 44100, 1023}, {"wma", 44100, 2047}};
    for (const auto& f : formats) {
        SCOPED_TRACE(f.format);
        const QString format = QLatin1String(f.format);
        const CommandRun convert =
            run(QStringLiteral("convert"),
                {QStringLiteral("--json"), QStringLiteral("--format"), format, QStringLiteral("--output"), format,
                 QStringLiteral("tone.wav"), QStringLiteral("three.cue")});
        EXPECT_EQ(convert.exitCode, 0) << convert.err.constData();
        ASSERT_EQ(convert.lines().size(), 5) << convert.out.constData();
        for (int row = 0; row < 4; ++row) {
            SCOPED_TRACE(row);
            const QJsonObject line = QJsonDocument::fromJson(convert.lines()[row]).object();
            const QString output = line[QLatin1String("output")].toString();
            const QJsonObject samples = line[QLatin1String("samples")].toObject();
            const qint64 in = inputs[std::size_t(row)];
            // At its own rate: Opus is always 48 kHz.
            const qint64 wanted = qint64(std::llround(double(in) * f.rate / 44100));
            const qint64 decoded = testsupport::decodeWithFfmpeg(output).size() / 4;
            EXPECT_GE(decoded, wanted);
            EXPECT_LE(decoded, wanted + f.longer);
            EXPECT_EQ(samples[QLatin1String("in")].toInteger(), in);
            EXPECT_EQ(samples[QLatin1String("in_rate")].toInt(), 44100);
            EXPECT_EQ(samples[QLatin1String("out")].toInteger(), decoded);
            EXPECT_EQ(samples[QLatin1String("out_rate")].toInt(), f.rate);
            if (row == 0) {
                // Not a sample lost or added in front: the sweep comes back
                // where it was.
                const std::vector<double> back = leftChannel(
                    testsupport::decodeWithFfmpeg(output, {QStringLiteral("-ar"), QStringLiteral("44100")}));
                EXPECT_EQ(lagOf(tone, back, 2400), 0);
            }
        }
    }
}

TEST_F(DiscCommandTest, ASheetThatIsNoFileIsRefusedAtOnceAndTheOthersAreAdded)
{
    // A pipe under a sheet's name: opening it would wait for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.cue"))).constData(), 0600), 0);
    const CommandRun probe = run(QStringLiteral("probe"), {QStringLiteral("pipe.cue"), QStringLiteral("album.cue#02")});
    EXPECT_EQ(probe.exitCode, 1);
    EXPECT_TRUE(probe.err.contains("/pipe.cue\" can not be read: Not a regular file")) << probe.err.constData();
    ASSERT_EQ(probe.lines().size(), 1) << probe.out.constData();
    EXPECT_TRUE(probe.lines()[0].startsWith((path(QStringLiteral("album.cue")) + QStringLiteral("#02\t")).toUtf8()));
}

TEST_F(DiscCommandTest, ATrackPastTwoGibibytesOfAnImageConvertsAndTheFirstSignalStopsIt)
{
    // A sparse image: silence up to 204 minutes (past byte 2^31), then
    // track 1's tone as track 2, then half an hour of silence as track 3.
    constexpr qint64 kFar = 204LL * 60 * 75;
    const QByteArray tone = image.track(1);
    const qint64 toneSectors = tone.size() / DiscImage::kSectorBytes;
    const qint64 end = kFar + toneSectors + 30LL * 60 * 75;
    const QByteArray big = QFile::encodeName(path(QStringLiteral("big.bin")));
    const int fd = ::open(big.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(end * DiscImage::kSectorBytes)), 0);
    ASSERT_EQ(::pwrite(fd, tone.constData(), std::size_t(tone.size()), off_t(kFar * DiscImage::kSectorBytes)),
              ssize_t(tone.size()));
    ::close(fd);
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("big.cue")),
                                       "FILE \"big.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                       "  TRACK 02 AUDIO\n    INDEX 01 " +
                                           DiscImage::msf(kFar).toUtf8() + "\n  TRACK 03 AUDIO\n    INDEX 01 " +
                                           DiscImage::msf(kFar + toneSectors).toUtf8() + "\n"));

    const QStringList wav = {QStringLiteral("--format=wav"), QStringLiteral("--output=OUT")};
    const CommandRun converted = run(QStringLiteral("convert"), wav + QStringList{QStringLiteral("big.cue#02")});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.constData();
    EXPECT_TRUE(testsupport::decodeWithFfmpeg(path(QStringLiteral("OUT/Track02.wav"))) == tone);

    // The first SIGINT, while the half hour after it is read, stops the run.
    QProcess stopped;
    tonemill.start(stopped, QStringList{QStringLiteral("convert")} + wav + QStringList{QStringLiteral("big.cue#03")});
    ASSERT_TRUE(stopped.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    const auto temporary = [this] {
        return !QDir(path(QStringLiteral("OUT")))
                    .entryList({QStringLiteral(".tonemill-*")}, QDir::Files | QDir::Hidden)
                    .isEmpty();
    };
    while (!temporary() && waited.elapsed() < 60000 && stopped.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_TRUE(temporary()) << "the conversion of track 3 did not start";
    ::kill(pid_t(stopped.processId()), SIGINT);
    const CommandRun result = testsupport::TonemillRun::finish(stopped);
    EXPECT_EQ(result.exitCode, 130) << result.err.constData();
    EXPECT_TRUE(result.out.contains("\tCancelled\t")) << result.out.constData();
    EXPECT_FALSE(temporary());
}

} // namespace
