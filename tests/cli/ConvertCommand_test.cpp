#include "convert/ReplayGainReadBack.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "support/CommandTest.h"
#include "support/Fixtures.h"
#include "support/ReferenceLoudness.h"
#include "support/SuiteMedia.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;
using testsupport::writeShellScript;
using CommandRun = testsupport::TonemillResult;

//! The size of the temporary output file with `suffix` being written in
//! `folder` (0 when there is none).
qint64 temporarySize(const QString& folder, const QString& suffix)
{
    const QStringList parts =
        QDir(folder).entryList({QStringLiteral(".tonemill-*.part") + suffix}, QDir::Files | QDir::Hidden);
    return parts.isEmpty() ? 0 : QFileInfo(folder + u'/' + parts.first()).size();
}

//! A WAV of 32-bit float samples, stereo at 44100 Hz: a -20 dB sine whose
//! every tenth sample is `odd` (not a number, or far beyond full scale).
QByteArray floatWav(float odd)
{
    constexpr int kFrames = 44100;
    QByteArray data;
    for (int i = 0; i < kFrames * 2; ++i) {
        const float value = i % 10 == 0 ? odd : 0.1f * std::sin(float(i / 2) * 0.0627f);
        data.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    QByteArray wav = "RIFF" + QByteArray(4, 0) + "WAVEfmt " + QByteArray(4, 0);
    const auto put = [&wav](auto value) {
        const auto little = qToLittleEndian(value);
        wav.append(reinterpret_cast<const char*>(&little), sizeof little);
    };
    wav.chop(4);
    put(quint32(16));
    put(quint16(3)); // IEEE float
    put(quint16(2));
    put(quint32(44100));
    put(quint32(44100 * 8));
    put(quint16(8));
    put(quint16(32));
    wav += "data";
    put(quint32(data.size()));
    wav += data;
    const quint32 riff = qToLittleEndian(quint32(wav.size() - 8));
    wav.replace(4, 4, reinterpret_cast<const char*>(&riff), 4);
    return wav;
}

// Runs the built program with its own program folder (a copy of Lang/), its
// own settings folder and a fixed locale, without a display. The power-off is
// replaced by a marker file, which must never appear.
class ConvertCommandTest : public testsupport::CommandTest {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_media.open());
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("tone.flac")), 1.5, 22050, 2));
    }
    static void TearDownTestSuite() { s_media.close(); }

    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        tonemill.setVariable(QStringLiteral("TONEMILL_POWEROFF_COMMAND"), QStringLiteral("touch \"%1\"").arg(marker()));
    }
    void TearDown() override { EXPECT_FALSE(QFile::exists(marker())) << "the machine was asked to power off"; }

    QString marker() const { return tonemill.configFolder() + QStringLiteral("/powered-off"); }
    QString tone(const QString& name) const
    {
        EXPECT_TRUE(s_media.copy(QStringLiteral("tone.flac"), path(name))) << qPrintable(name);
        return path(name);
    }

    void start(QProcess& p, const QStringList& arguments) const
    {
        tonemill.start(p, QStringList{QStringLiteral("convert")} + arguments);
    }

    CommandRun convert(const QStringList& arguments) const
    {
        return tonemill.run(QStringList{QStringLiteral("convert")} + arguments);
    }

    static inline testsupport::SuiteMedia s_media;
};

TEST_F(ConvertCommandTest, ConvertsEveryFileAndPrintsOneLineEach)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString b = tone(QStringLiteral("b.flac"));
    const QString out = path(QStringLiteral("out"));

    const CommandRun run = convert({QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output"),
                                    QStringLiteral("out"), QStringLiteral("a.flac"), b});

    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.constData(); // no bar: standard error is no terminal
    ASSERT_EQ(run.lines().size(), 2) << run.out.constData();
    EXPECT_EQ(run.lines()[0], (a + u'\t' + out + QStringLiteral("/a.wav\tComplete\t")).toUtf8());
    EXPECT_EQ(run.lines()[1], (b + u'\t' + out + QStringLiteral("/b.wav\tComplete\t")).toUtf8());
    // The audio, then the tags (the loudness) in chunks after it.
    const QByteArray wav = readFile(out + QStringLiteral("/a.wav"));
    const QByteArray decoded = testsupport::decodeWithFfmpeg(a);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(decoded.size()));
    EXPECT_TRUE(wav.mid(44, decoded.size()) == decoded);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));

    // An existing file is never overwritten: the second run picks a new name.
    const QByteArray first = readFile(out + QStringLiteral("/a.wav"));
    const CommandRun again = convert({QStringLiteral("--format=wav"), QStringLiteral("--output=") + out, a});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, (a + u'\t' + out + QStringLiteral("/a_Converted.wav\tComplete\t\n")).toUtf8());
    EXPECT_TRUE(readFile(out + QStringLiteral("/a.wav")) == first);
}

TEST_F(ConvertCommandTest, LoudnessAddsAFieldAndNormalizeBringsEachOutputToItsTarget)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString out = path(QStringLiteral("out"));
    const CommandRun run =
        convert({QStringLiteral("--format=flac"), QStringLiteral("--output"), out, QStringLiteral("--loudness"), a});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    ASSERT_EQ(run.lines().size(), 1) << run.out.constData();
    const QList<QByteArray> fields = run.lines()[0].split('\t');
    ASSERT_EQ(fields.size(), 5);
    EXPECT_EQ(fields[3], QByteArray()); // no reason
    const std::optional<testsupport::ReferenceLoudness> reference =
        testsupport::libebur128Loudness(out + QStringLiteral("/a.flac"));
    ASSERT_TRUE(reference);
    // "-17.85 LUFS, -18.06 dBTP"
    const QList<QByteArray> words = fields[4].split(' ');
    ASSERT_EQ(words.size(), 4) << fields[4].constData();
    EXPECT_EQ(words[1], "LUFS,");
    EXPECT_EQ(words[3], "dBTP");
    EXPECT_NEAR(words[0].toDouble(), reference->integrated, 0.01);
    EXPECT_NEAR(words[2].toDouble(), 20 * std::log10(reference->truePeak), 0.01);

    // Without --loudness the line keeps its four fields.
    const CommandRun normalised = convert({QStringLiteral("--format=wav"), QStringLiteral("--output"), out,
                                           QStringLiteral("--normalize"), QStringLiteral("-16"), a});
    EXPECT_EQ(normalised.exitCode, 0) << normalised.err.constData();
    ASSERT_EQ(normalised.lines().size(), 1);
    EXPECT_EQ(normalised.lines()[0].count('\t'), 3);
    const std::optional<testsupport::ReferenceLoudness> louder =
        testsupport::libebur128Loudness(out + QStringLiteral("/a.wav"));
    ASSERT_TRUE(louder);
    EXPECT_NEAR(louder->integrated, -16.0, 0.05);
}

TEST_F(ConvertCommandTest, TheChoicesOfOneRunAreNotSaved)
{
    const QString a = tone(QStringLiteral("a.flac"));
    ASSERT_EQ(convert({QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output"),
                       path(QStringLiteral("first")), a})
                  .exitCode,
              0);
    // Without the arguments the saved (default) choices apply: not WAV, and
    // not the first run's folder.
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("second"))));
    const CommandRun run = convert({QStringLiteral("--output"), path(QStringLiteral("second")), a});
    ASSERT_EQ(run.lines().size(), 1);
    EXPECT_FALSE(run.lines()[0].contains(".wav\t")) << run.out.constData();
    EXPECT_EQ(QDir(path(QStringLiteral("first"))).entryList(QDir::Files).size(), 1);
}

TEST_F(ConvertCommandTest, SameFolderAndOddNames)
{
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("sub"))));
    const QString odd = tone(QStringLiteral("sub/it's \"$(touch pwned)\" `touch pwned2`.flac"));
    const CommandRun run = convert({QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--same-folder"),
                                    QStringLiteral("--"), odd});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QString made = path(QStringLiteral("sub/it's \"$(touch pwned)\" `touch pwned2`.wav"));
    EXPECT_EQ(run.out, (odd + u'\t' + made + QStringLiteral("\tComplete\t\n")).toUtf8());
    EXPECT_TRUE(QFile::exists(made));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("sub/pwned2"))));
}

TEST_F(ConvertCommandTest, RowsThatDoNotCompleteGiveExitOne)
{
    const QString good = tone(QStringLiteral("good.flac"));
    const QString noise = path(QStringLiteral("noise.ogg"));
    ASSERT_TRUE(writeFile(noise, QByteArray(3000, 'z')));
    ASSERT_TRUE(writeFile(path(QStringLiteral("notes.txt")), "text"));

    const CommandRun run = convert({QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--same-folder"),
                                    good, noise, QStringLiteral("notes.txt")});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines().size(), 2) << run.out.constData();
    EXPECT_EQ(run.lines()[0],
              (good + u'\t' + path(QStringLiteral("good.wav")) + QStringLiteral("\tComplete\t")).toUtf8());
    EXPECT_EQ(run.lines()[1], (noise + QStringLiteral("\t\tCodec Not Supported\tUnsupported Format")).toUtf8());
    EXPECT_EQ(run.err, "refused: not audio: " + QFile::encodeName(path(QStringLiteral("notes.txt"))) + '\n');

    // Only a refused path: nothing converted, still not a success.
    EXPECT_EQ(convert({QStringLiteral("notes.txt")}).exitCode, 1);
}

TEST_F(ConvertCommandTest, SamplesThatAreNoNumbersBecomeSilenceAndTooLargeOnesFullScale)
{
    const struct {
        const char* name;
        float odd;
        const char* reason;
    } cases[] = {
        {"nan", std::numeric_limits<float>::quiet_NaN(), "input holds invalid samples"},
        {"infinite", std::numeric_limits<float>::infinity(), "input holds invalid samples"},
        {"huge", 1e30f, ""},
    };
    const QString out = path(QStringLiteral("out"));
    for (const auto& c : cases) {
        const QString input = path(QLatin1String(c.name) + QStringLiteral(".wav"));
        ASSERT_TRUE(writeFile(input, floatWav(c.odd)));
        const CommandRun run = convert(
            {QStringLiteral("--format=flac"), QStringLiteral("--output"), out, QStringLiteral("--loudness"), input});
        EXPECT_EQ(run.exitCode, 0) << c.name << ": " << run.err.constData();
        const QList<QByteArray> fields = run.lines().value(0).split('\t');
        ASSERT_EQ(fields.size(), 5) << c.name << ": " << run.out.constData();
        EXPECT_EQ(fields[2], "Complete") << c.name;
        EXPECT_EQ(fields[3], c.reason) << c.name;
        // What the meter measured is what the file holds: the sine with
        // silence, or with full-scale samples, never more.
        const QByteArray pcm =
            testsupport::decodeWithFfmpeg(out + u'/' + QLatin1String(c.name) + QStringLiteral(".flac"));
        ASSERT_EQ(pcm.size(), 44100 * 4) << c.name;
        const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
        const int oddSample = std::isfinite(c.odd) ? 32767 : 0;
        EXPECT_EQ(samples[0], oddSample) << c.name;
        EXPECT_EQ(samples[10], oddSample) << c.name;
        EXPECT_LT(std::abs(int(samples[11])), 3300) << c.name;
        const std::optional<testsupport::ReferenceLoudness> reference =
            testsupport::libebur128Loudness(out + u'/' + QLatin1String(c.name) + QStringLiteral(".flac"));
        ASSERT_TRUE(reference) << c.name;
        const QList<QByteArray> words = fields[4].split(' ');
        ASSERT_EQ(words.size(), 4) << fields[4].constData();
        EXPECT_NEAR(words[0].toDouble(), reference->integrated, 0.05) << c.name;
        EXPECT_NEAR(words[2].toDouble(), 20 * std::log10(reference->truePeak), 0.1) << c.name;
    }
}

TEST_F(ConvertCommandTest, AlbumTagsThatCannotBeWrittenFailTheirRows)
{
    // A disk with room for the three outputs, not for the copy that gets an
    // output's album tags.
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the super-user mounts a small file system";
    const QString disk = path(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(disk));
    if (testsupport::runProgram(QStringLiteral("mount"),
                                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                 QStringLiteral("size=480k"), QStringLiteral("tmpfs"), disk}) != 0)
        GTEST_SKIP() << "a tmpfs can not be mounted here";
    QStringList album;
    for (const char* name : {"a", "b", "c"})
        album << tone(QStringLiteral("album/") + QLatin1String(name) + QStringLiteral(".flac"));
    const CommandRun run =
        convert(QStringList{QStringLiteral("--format=wav"), QStringLiteral("--output"), disk} + album);
    testsupport::runProgram(QStringLiteral("umount"), {disk});
    EXPECT_EQ(run.exitCode, 1) << run.err.constData();
    ASSERT_EQ(run.lines().size(), 3) << run.out.constData();
    for (const QByteArray& line : run.lines()) {
        const QList<QByteArray> fields = line.split('\t');
        ASSERT_EQ(fields.size(), 4) << line.constData();
        EXPECT_EQ(fields[2], "Error") << line.constData();
        EXPECT_EQ(fields[3], "the album's ReplayGain tags could not be written: No space left on device")
            << line.constData();
    }
}

TEST_F(ConvertCommandTest, AnOutputFolderThatCannotBeMadeIsReportedPerRow)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString b = tone(QStringLiteral("b.flac"));
    const CommandRun run = convert({QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output"),
                                    path(QStringLiteral("x/y")), a, b});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count("Output Folder is not exist and can not be created."), 2) << run.err.constData();
    // Each row asked for ends "Error" with the reason; none is left waiting.
    const QString ended = QStringLiteral("\t\tError\tOutput Folder is not exist and can not be created.\n");
    EXPECT_EQ(run.out, (a + ended + b + ended).toUtf8());
}

TEST_F(ConvertCommandTest, FlacOpusAndM4aAreFormatsByName)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString out = path(QStringLiteral("out"));
    for (const char* format : {"flac", "opus", "m4a"}) {
        const CommandRun run =
            convert({QStringLiteral("--format"), QLatin1String(format), QStringLiteral("--output"), out, a});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_EQ(run.out,
                  (a + u'\t' + out + QStringLiteral("/a.%1\tComplete\t\n").arg(QLatin1String(format))).toUtf8());
    }
}

TEST_F(ConvertCommandTest, UsageErrorsGiveExitTwo)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QList<QStringList> bad = {
        {},
        {QStringLiteral("--format"), QStringLiteral("aiff"), a},
        {QStringLiteral("--format")},
        {QStringLiteral("--output"), QStringLiteral("o"), QStringLiteral("--same-folder"), a},
        {QStringLiteral("--loud"), a},
        {QStringLiteral("--option"), QStringLiteral("NoSuchSetting=1"), a},
        {QStringLiteral("--keep-tree"), QStringLiteral("--same-folder"), a},
        {QStringLiteral("--name-pattern"), QStringLiteral("../{title}"), a},
        {QStringLiteral("--name-pattern="), a},
        {QStringLiteral("--name-pattern")},
        {QStringLiteral("--jobs"), QStringLiteral("0"), a},
        {QStringLiteral("--jobs=two"), a},
        {QStringLiteral("--normalize"), QStringLiteral("loud"), a},
        {QStringLiteral("--normalize=-50"), a},
        {QStringLiteral("--normalize"), QStringLiteral("-16.5"), a},
        {QStringLiteral("--normalize")},
        {QStringLiteral("--format=flac"), QStringLiteral("--bitrate=128"), a},
        {QStringLiteral("--format=flac"), QStringLiteral("--compression=9"), a},
        {QStringLiteral("--options-from"), QStringLiteral("nowhere"), a},
        {QStringLiteral("--tree-root"), QStringLiteral("nowhere"), QStringLiteral("--output=o"), a},
        {QStringLiteral("--format=m4a"), QStringLiteral("--output=-"), a},
        {QStringLiteral("--format=wma"), QStringLiteral("--output=-"), a},
    };
    for (const QStringList& arguments : bad) {
        const CommandRun run = convert(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_TRUE(QDir(work.path()).entryList({QStringLiteral("*.wav")}).isEmpty());
}

TEST_F(ConvertCommandTest, EncoderFlagsSetTheOptionsTheyName)
{
    // Read back as the run would use them, each flag by the option it names.
    const struct {
        QStringList flags;
        QList<QByteArray> lines;
    } cases[] = {
        {{"--format=mp3", "--bitrate=192", "--channels=mono", "--sample-rate=22050"},
         {"optMP3CBR=True", "cmbMP3CBitrate=4", "cmbMP3StereoMode=0", "cmbMP3Freq=5"}},
        {{"--format=mp3", "--mode=abr", "--bitrate=96"}, {"optMP3ABR=True", "cmbMP3ABitrate=7"}},
        {{"--format=mp3", "--quality=2"}, {"optMP3VBR=True", "SliderMP3VBR=7"}},
        {{"--format=ogg", "--mode=cbr", "--bitrate=64"}, {"optOGGCBR=True", "cmbOGGCBitrate=8"}},
        {{"--format=ogg", "--quality=-2"}, {"optOGGVBR=True", "sliderOGG=-2"}},
        {{"--format=wma", "--quality=80"}, {"optFileFormat=1", "sliderWMA=80"}},
        {{"--format=flac", "--compression=0"}, {"optFileFormat=4", "sliderFLACLevel=0"}},
        {{"--format=opus", "--bitrate=64"}, {"optFileFormat=5", "sliderOpusBitrate=64"}},
        {{"--format=m4a", "--bitrate=256"}, {"optFileFormat=6", "sliderAACBitrate=256"}},
        {{"--jobs=1", "--normalize=-20", "--option", "chkCopyTags=false"},
         {"sliderSimultaneous=1", "chkNormalize=True", "sliderNormalizeTarget=-20", "chkCopyTags=False"}},
    };
    for (const auto& c : cases) {
        const CommandRun run = convert(c.flags + QStringList{QStringLiteral("--list-options")});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        for (const QByteArray& line : c.lines)
            EXPECT_TRUE(run.lines().contains(line)) << c.flags.join(u' ').toStdString() << ": " << line.constData();
    }

    // What --list-options prints, --options-from reads back; the flags win.
    const CommandRun listed =
        convert({QStringLiteral("--format=ogg"), QStringLiteral("--quality=7"), QStringLiteral("--list-options")});
    ASSERT_TRUE(writeFile(path(QStringLiteral("ogg.options")), listed.out));
    EXPECT_TRUE(listed.out.contains("# sliderOGG: a whole number from -2 to 10\nsliderOGG=7\n"))
        << listed.out.constData();
    const CommandRun back = convert({QStringLiteral("--options-from=ogg.options"), QStringLiteral("--quality=9"),
                                     QStringLiteral("--list-options")});
    EXPECT_TRUE(back.lines().contains("optFileFormat=3") && back.lines().contains("sliderOGG=9"))
        << back.out.constData();

    // The encoders get them: lame's and oggenc's command lines, recorded.
    const QString a = tone(QStringLiteral("a.flac"));
    const QString argv = path(QStringLiteral("argv"));
    for (const char* encoder : {"lame", "oggenc"})
        ASSERT_TRUE(writeShellScript(tonemill.programFolder() + u'/' + QLatin1String(encoder),
                                     "echo \"$*\" > '" + argv.toUtf8() + "'\ncat > /dev/null\nexit 3\n"));
    const struct {
        QStringList flags;
        const char* commandLine;
    } encoders[] = {
        {{"--format=mp3", "--mode=vbr", "--quality=2", "--channels=stereo", "--sample-rate=auto"},
         "-V 2 -m s --resample 0"},
        {{"--format=mp3", "--mode=abr", "--bitrate=310"}, "--abr 310 -m"},
        {{"--format=ogg", "--bitrate=192", "--quality=5"}, "-b 192 --quality 5 -"},
        {{"--format=ogg", "--bitrate=96"}, "--managed -b 96 -"},
    };
    for (const auto& e : encoders) {
        QFile::remove(argv);
        const CommandRun run = convert(e.flags + QStringList{QStringLiteral("--same-folder"), a});
        EXPECT_TRUE(readFile(argv).contains(e.commandLine))
            << e.flags.join(u' ').toStdString() << ": " << readFile(argv).constData();
    }
}

TEST_F(ConvertCommandTest, QuietSaysNothingAndVerboseSaysWhatEachRowDoes)
{
    const QString a = tone(QStringLiteral("a.flac"));
    ASSERT_TRUE(writeFile(path(QStringLiteral("notes.txt")), "text"));
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("empty"))));
    const QStringList mp3 = {QStringLiteral("--format=mp3"), QStringLiteral("--mode=vbr"),
                             QStringLiteral("--quality=3"), QStringLiteral("--loudness"),
                             QStringLiteral("--output=out")};
    const CommandRun quiet =
        convert(mp3 + QStringList{QStringLiteral("--quiet"), a, QStringLiteral("notes.txt"), QStringLiteral("empty")});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.lines().size(), 1);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.constData();

    const CommandRun verbose = convert(mp3 + QStringList{QStringLiteral("--verbose"), a});
    EXPECT_EQ(verbose.exitCode, 0) << verbose.err.constData();
    const QList<QByteArray> said = verbose.err.trimmed().split('\n');
    ASSERT_EQ(said.size(), 2) << verbose.err.constData();
    EXPECT_TRUE(said[0].startsWith("converting " + QFile::encodeName(a) + " with: lame -V 3 ")) << said[0].constData();
    const QList<QByteArray> row = verbose.lines().value(0).split('\t');
    ASSERT_EQ(row.size(), 5) << verbose.out.constData();
    EXPECT_EQ(said[1], "loudness of " + row[1] + ": " + row[4]);
}

TEST_F(ConvertCommandTest, StandardInputToStandardOutputForTheFormatsAPipeTakes)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const struct {
        const char* format;
        const char* demuxer; // as ffprobe names the container
    } formats[] = {{"wav", "wav"}, {"flac", "flac"}, {"mp3", "mp3"}};
    for (const auto& f : formats) {
        const QString made = path(QStringLiteral("out.") + QLatin1String(f.format));
        // cat in.flac | tonemill convert --format mp3 --output - - > out.mp3
        QProcess shell;
        shell.setProcessEnvironment(tonemill.environment());
        shell.setWorkingDirectory(work.path());
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                           QStringLiteral("cat \"$1\" | \"$2\" convert --format %1 "
                                                          "--output - - > \"$3\"")
                                               .arg(QLatin1String(f.format)),
                                           QStringLiteral("sh"), a, tonemill.program(), made});
        ASSERT_TRUE(shell.waitForFinished(120000));
        EXPECT_EQ(shell.exitCode(), 0) << f.format << shell.readAllStandardError().constData();
        QByteArray probed;
        testsupport::runProgram(QStringLiteral("ffprobe"),
                                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                 QStringLiteral("format=format_name,duration"), QStringLiteral("-of"),
                                 QStringLiteral("default=nw=1:nk=1"), made},
                                &probed);
        const QList<QByteArray> fields = probed.trimmed().split('\n');
        ASSERT_EQ(fields.size(), 2) << f.format << probed.constData();
        EXPECT_EQ(fields[0], QByteArray(f.demuxer));
        EXPECT_NEAR(fields[1].toDouble(), 1.5, 0.1) << f.format; // MP3: lame's delay and padding
    }
    // Nothing is left in the temporary folder, and the work folder has only what the test made.
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(ConvertCommandTest, TheTreeRootIsComparedAfterLinksAndDotDotAreResolved)
{
    const QString a = tone(QStringLiteral("lib/Artist/a.flac"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("lib")), path(QStringLiteral("link"))));
    const QString elsewhere = tone(QStringLiteral("elsewhere.flac"));
    const QString out = path(QStringLiteral("out"));
    const struct {
        QString root;
        QString file;
    } spellings[] = {
        {QStringLiteral("link"), a},
        {path(QStringLiteral("lib/Artist/..")), path(QStringLiteral("link/Artist/a.flac"))},
        {QStringLiteral("lib"), path(QStringLiteral("lib/Artist/../Artist/a.flac"))},
    };
    for (const auto& s : spellings) {
        QDir(out).removeRecursively();
        const CommandRun run = convert({QStringLiteral("--format=wav"), QStringLiteral("--output"), out,
                                        QStringLiteral("--tree-root"), s.root, s.file});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(QFile::exists(out + QStringLiteral("/Artist/a.wav"))) << qPrintable(s.root) << run.out.constData();
    }
    // A file outside the root is refused with the reason; a folder below it keeps its place.
    const CommandRun outside =
        convert({QStringLiteral("--format=wav"), QStringLiteral("--output"), out, QStringLiteral("--tree-root=link"),
                 elsewhere, path(QStringLiteral("lib/Artist"))});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_EQ(outside.err, "refused: outside the tree root: " + QFile::encodeName(elsewhere) + '\n');
    EXPECT_TRUE(outside.out.contains(QFile::encodeName(out + QStringLiteral("/Artist/a_Converted.wav"))))
        << outside.out.constData();
}

TEST_F(ConvertCommandTest, ARecursiveRunKeepsTheTreeAndOverwritesNothing)
{
    // Three levels, the same names in several folders.
    QStringList inputs;
    for (const QString& folder : {QString(), QStringLiteral("Artist/"), QStringLiteral("Artist/Album/")}) {
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("lib/") + folder)));
        for (const QString& name : {QStringLiteral("a.flac"), QStringLiteral("b.flac")})
            inputs << tone(QStringLiteral("lib/") + folder + name);
    }
    const QString out = path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out + QStringLiteral("/Artist")));
    ASSERT_TRUE(writeFile(out + QStringLiteral("/Artist/a.wav"), "keep me"));

    const CommandRun run =
        convert({QStringLiteral("--format=wav"), QStringLiteral("--output=out"), QStringLiteral("--recursive"),
                 QStringLiteral("--keep-tree"), QStringLiteral("lib")});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QStringList made = {
        "a.wav", "b.wav", "Artist/a_Converted.wav", "Artist/b.wav", "Artist/Album/a.wav", "Artist/Album/b.wav"};
    ASSERT_EQ(run.lines().size(), made.size()) << run.out.constData();
    for (qsizetype i = 0; i < made.size(); ++i)
        EXPECT_EQ(run.lines()[i], (inputs[i] + u'\t' + out + u'/' + made[i] + QStringLiteral("\tComplete\t")).toUtf8());
    EXPECT_EQ(readFile(out + QStringLiteral("/Artist/a.wav")), QByteArray("keep me"));
}

TEST_F(ConvertCommandTest, CtrlCStopsLikeTheStopButton)
{
    const QString longer = path(QStringLiteral("long.flac"));
    ASSERT_TRUE(testsupport::makeTone(longer, 900, 44100, 2));
    const QString after = tone(QStringLiteral("after.flac"));
    const QString wanted = path(QStringLiteral("long.wav"));

    QProcess p;
    start(p, {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--same-folder"),
              QStringLiteral("--jobs"), QStringLiteral("1"), longer, after});
    ASSERT_TRUE(p.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    while (temporarySize(work.path(), QStringLiteral(".wav")) < 1000000 && timer.elapsed() < 60000 &&
           p.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_EQ(p.state(), QProcess::Running) << "the conversion ended before it could be stopped";
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));

    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 130); // interrupted, as a shell reports it
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    ASSERT_GE(lines.size(), 2);
    // The shorter file is kept beside the name the whole one would have had.
    const QList<QByteArray> fields = lines[0].split('\t');
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields[0], longer.toUtf8());
    EXPECT_TRUE(fields[1].startsWith(path(QStringLiteral("long (stopped at ")).toUtf8())) << fields[1].constData();
    EXPECT_EQ(fields[2], "Cancelled");
    EXPECT_FALSE(QFile::exists(wanted));
    const QString out = QString::fromUtf8(fields[1]);
    EXPECT_EQ(lines[1], (after + QStringLiteral("\t\tWaiting Conversion\t")).toUtf8());
    const QByteArray header = readFile(out).left(44);
    const qint64 size = QFileInfo(out).size();
    EXPECT_EQ(qFromLittleEndian<quint32>(header.constData() + 40), quint32(size - 44));
    EXPECT_LT(size, 900LL * 176400);
}

TEST_F(ConvertCommandTest, SigtermAndSighupStopLikeCtrlCAndEndTheEncoders)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString pidFile = path(QStringLiteral("encoder.pid"));
    // An encoder that never reads its input, as a hung one.
    ASSERT_TRUE(writeShellScript(tonemill.programFolder() + QStringLiteral("/lame"),
                                 "echo $$ > '" + pidFile.toUtf8() + "'\nexec sleep 600\n"));
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QFile::remove(pidFile);
        QProcess p;
        start(p, {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--same-folder"), a});
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (readFile(pidFile).trimmed().isEmpty() && timer.elapsed() < 60000 && p.state() == QProcess::Running)
            QThread::msleep(20);
        const pid_t encoder = pid_t(readFile(pidFile).trimmed().toInt());
        ASSERT_GT(encoder, 0) << "the encoder never started";
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));

        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 128 + signal);
        EXPECT_EQ(p.readAllStandardOutput(), (a + QStringLiteral("\t\tCancelled\t\n")).toUtf8());
        // The encoder was ended with the run, not left behind.
        timer.restart();
        while (::kill(encoder, 0) == 0 && timer.elapsed() < 5000)
            QThread::msleep(20);
        const bool encoderLeft = ::kill(encoder, 0) == 0;
        if (encoderLeft)
            ::kill(encoder, SIGKILL);
        EXPECT_FALSE(encoderLeft);
        EXPECT_TRUE(QDir(work.path()).entryList({QStringLiteral(".tonemill-*")}, QDir::Files | QDir::Hidden).isEmpty());
    }
}

TEST_F(ConvertCommandTest, NamesThatAreNotUtf8AreConvertedAndPrintedAsTheyAre)
{
    // A Latin-1 name, as copied from an old disc: not valid UTF-8.
    const QByteArray folder = QFile::encodeName(path(QStringLiteral("in")));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("in"))));
    const QByteArray name = folder + "/caf\xe9.flac";
    ASSERT_TRUE(s_media.copy(QStringLiteral("tone.flac"), path(QStringLiteral("plain.flac"))));
    ASSERT_EQ(::rename(QFile::encodeName(path(QStringLiteral("plain.flac"))).constData(), name.constData()), 0);

    const CommandRun run = convert(
        {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--same-folder"), QStringLiteral("in")});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out, name + '\t' + folder + "/caf\xe9.wav\tComplete\t\n");
    EXPECT_EQ(::access((folder + "/caf\xe9.wav").constData(), F_OK), 0);
}

TEST_F(ConvertCommandTest, AFolderNamedInLatin1GetsEveryTagAndItsSheetConverts)
{
    // An album folder named with byte 0xE9, one of its four files too, and a
    // one-file rip with its sheet below it: every output lands beside its
    // input, with its track gain, and the four files their album gain.
    const QByteArray tone = readFile(s_media.filePath(QStringLiteral("tone.flac")));
    for (const auto& [format, tagFormat] :
         {std::pair{"flac", tags::TagFormat::Flac}, std::pair{"mp3", tags::TagFormat::Mp3}}) {
        SCOPED_TRACE(format);
        const QString library = path(QStringLiteral("lib-") + QLatin1String(format));
        const QString album = platform::fromNativeName(platform::nativeName(library) + "/caf\xe9");
        ASSERT_TRUE(platform::makeFolders(album + QStringLiteral("/disc")));
        for (const QString& name : {QStringLiteral("a.flac"), QStringLiteral("b.flac"), QStringLiteral("c.flac"),
                                    platform::fromNativeName("caf\xe9.flac")})
            ASSERT_TRUE(writeFile(album + u'/' + name, tone));
        ASSERT_TRUE(testsupport::makeTone(album + QStringLiteral("/disc/rip.flac"), 3, 44100, 2));
        ASSERT_TRUE(writeFile(album + QStringLiteral("/disc/rip.cue"),
                              "FILE \"rip.flac\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n"
                              "    INDEX 00 00:01:00\n    INDEX 01 00:01:30\n"));

        const CommandRun run = convert({QStringLiteral("--format"), QLatin1String(format),
                                        QStringLiteral("--same-folder"), QStringLiteral("--recursive"), library});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        ASSERT_EQ(run.lines().size(), 6) << run.out.constData(); // four files and two tracks, not the rip itself
        QStringList albumGains;
        for (const QByteArray& line : run.lines()) {
            const QList<QByteArray> fields = line.split('\t');
            ASSERT_EQ(fields.size(), 4) << line.constData();
            EXPECT_EQ(fields[2], QByteArray("Complete")) << line.constData();
            const QString output = platform::fromNativeName(fields[1]);
            EXPECT_FALSE(
                replaygaintest::readField(output, tagFormat, QStringLiteral("REPLAYGAIN_TRACK_GAIN")).isEmpty())
                << line.constData();
            const QString albumGain =
                replaygaintest::readField(output, tagFormat, QStringLiteral("REPLAYGAIN_ALBUM_GAIN"));
            EXPECT_FALSE(albumGain.isEmpty()) << line.constData();
            if (!fields[0].contains(".cue#"))
                albumGains << albumGain;
        }
        ASSERT_EQ(albumGains.size(), 4);
        EXPECT_EQ(albumGains.count(albumGains.first()), 4) << qPrintable(albumGains.join(u' '));
    }
}

TEST_F(ConvertCommandTest, TheSoundOfMatroskaWebmAndFlashVideoConverts)
{
    // Each decodes to exactly the samples ffmpeg decodes; a container
    // without a sound track is a row the engine cannot open.
    struct Case {
        const char* name;
        QStringList codecs;
        bool sound;
    };
    const Case cases[] = {
        {"film.mkv", {"-c:v", "mpeg4", "-c:a", "libopus"}, true},
        {"clip.webm", {"-c:v", "libvpx", "-c:a", "libopus"}, true},
        {"song.mka", {"-c:a", "flac"}, true},
        {"old.flv", {"-c:v", "flv", "-c:a", "libmp3lame", "-ar", "44100"}, true},
        {"silent.mkv", {"-c:v", "mpeg4"}, false},
    };
    QStringList inputs;
    for (const Case& c : cases) {
        QStringList sources;
        if (c.codecs.contains(QStringLiteral("-c:v")))
            sources << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                    << QStringLiteral("color=s=64x48:d=1.3");
        if (c.sound)
            sources << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                    << QStringLiteral("sine=frequency=500:sample_rate=48000:duration=1.3");
        inputs << path(QLatin1String(c.name));
        ASSERT_EQ(testsupport::runProgram(QStringLiteral("ffmpeg"),
                                          QStringList{QStringLiteral("-loglevel"), QStringLiteral("error")} + sources +
                                              c.codecs + QStringList{inputs.last()}),
                  0)
            << c.name;
    }
    const CommandRun run = convert(QStringList{QStringLiteral("--format"), QStringLiteral("wav"),
                                               QStringLiteral("--output"), QStringLiteral("out")} +
                                   inputs);
    EXPECT_EQ(run.exitCode, 1) << run.err.constData(); // the silent one
    ASSERT_EQ(run.lines().size(), int(std::size(cases))) << run.out.constData();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const QList<QByteArray> fields = run.lines()[qsizetype(i)].split('\t');
        ASSERT_EQ(fields.size(), 4);
        EXPECT_EQ(fields[2], cases[i].sound ? QByteArray("Complete") : QByteArray("Codec Not Supported"))
            << cases[i].name;
        if (!cases[i].sound)
            continue;
        const QByteArray reference = testsupport::decodeWithFfmpeg(inputs[qsizetype(i)]);
        EXPECT_GT(reference.size(), 48000 * 2); // over a second of mono
        EXPECT_EQ(testsupport::decodeWithFfmpeg(QString::fromUtf8(fields[1])).size(), reference.size())
            << cases[i].name;
    }
}

TEST_F(ConvertCommandTest, AFailedRowSaysWhyInTheFourthField)
{
    const QString a = tone(QStringLiteral("a.flac"));
    // An encoder in the program folder that refuses, in its own words.
    ASSERT_TRUE(writeShellScript(tonemill.programFolder() + QStringLiteral("/lame"),
                                 "cat > /dev/null\necho 'lame: unsupported wave format' >&2\nexit 3\n"));

    const CommandRun run =
        convert({QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--same-folder"), a});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines().size(), 1) << run.out.constData();
    const QList<QByteArray> fields = run.lines()[0].split('\t');
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields[1], QByteArray()); // nothing kept
    EXPECT_EQ(fields[2], QByteArray("Error"));
    EXPECT_TRUE(fields[3].contains("unsupported wave format")) << fields[3].constData();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.mp3"))));
}

TEST_F(ConvertCommandTest, KillingTheRunLeavesNoFileUnderAFinalName)
{
    const QString a = tone(QStringLiteral("a.flac"));
    // An encoder that writes part of its file (the last argument), then
    // stops reading and waits.
    ASSERT_TRUE(writeShellScript(tonemill.programFolder() + QStringLiteral("/lame"),
                                 "for last; do :; done\nhead -c 300000 /dev/zero > \"$last\"\nexec sleep 5\n"));
    const QString out = path(QStringLiteral("out"));

    QProcess p;
    start(p, {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--output"), out, a});
    ASSERT_TRUE(p.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    while (temporarySize(out, QStringLiteral(".mp3")) < 300000 && timer.elapsed() < 60000 &&
           p.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_EQ(p.state(), QProcess::Running);
    ::kill(pid_t(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(60000));

    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/a.mp3")));
    EXPECT_EQ(temporarySize(out, QStringLiteral(".mp3")), 300000);

    // The next run into that folder recognises the leftover and removes it.
    const CommandRun run =
        convert({QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output"), out, a});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.wav")});
}

} // namespace
