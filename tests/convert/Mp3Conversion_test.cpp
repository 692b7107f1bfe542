#include "Mp3OggWmaTestSession.h"
#include "convert/ConvertToMP3_OGG.h"
#include "filelist/RowWords.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <csignal>
#include <random>
#include <unistd.h>

using encodertest::probe;
using options::FormatOptions;

namespace {

// lame's delay and padding: up to two frames of 1152 samples and 1105 more.
double mp3Slack(int rate)
{
    return (2 * 1152 + 1105) / double(rate);
}

class Mp3Conversion : public encodertest::EncoderSession {
protected:
    void SetUp() override
    {
        EncoderSession::SetUp();
        options.optFileFormat(FormatOptions::MP3).click();
    }
    void chooseText(options::ListState& box, const QString& text)
    {
        ASSERT_TRUE(box.setListIndex(box.items().indexOf(text)));
    }
    //! Pauses (SIGSTOP) the encoder this process started; its pid, 0 when
    //! none runs. The conversion kills it when it does not end in time.
    static pid_t pauseEncoder()
    {
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QByteArray stat = testsupport::readFile(QStringLiteral("/proc/%1/stat").arg(entry));
            // "pid (name) state ppid ..."
            const qsizetype close = stat.lastIndexOf(')');
            const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
            const QByteArray name = stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1);
            if (close > 0 && fields.size() > 1 && fields[1].toInt() == ::getpid() &&
                (name == "lame" || name == "oggenc")) {
                const pid_t pid = entry.toInt();
                return ::kill(pid, SIGSTOP) == 0 ? pid : 0;
            }
        }
        return 0;
    }
};

} // namespace

TEST_F(Mp3Conversion, ConstantBitrateStereoDecodesBackAsAsked)
{
    const QString in = path(QStringLiteral("tone.flac"));
    ASSERT_TRUE(testsupport::makeTone(in, 4.0, 44100, 2));
    options.optMP3CBR.click();
    chooseText(options.cmbMP3CBitrate, QStringLiteral("192 Kbps"));
    chooseText(options.cmbMP3Freq, QStringLiteral("44.1 KHz"));
    const QString out = path(QStringLiteral("tone.mp3"));
    convert::ConvertToMP3_OGG(session, in, out);
    expectComplete();
    EXPECT_GT(desktop.eventYields, 0);
    const auto p = probe(out);
    EXPECT_EQ(p.codec, QStringLiteral("mp3"));
    EXPECT_EQ(p.rate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.bitRate, 192000);
    EXPECT_NEAR(p.duration, 4.0, mp3Slack(44100));
    EXPECT_EQ(session.conversionStream, 0u);
    EXPECT_EQ(session.channelInfo.freq, 44100u);
}

TEST_F(Mp3Conversion, VariableAndAverageModesAtTheEndsOfTheirRanges)
{
    const QString in = path(QStringLiteral("tone.ogg"));
    ASSERT_TRUE(testsupport::makeTone(in, 3.0, 48000, 2));

    // -V 0, -q 0, mono mode, resampled to 22.05 kHz.
    options.optMP3VBR.click();
    options.SliderMP3VBR.setValue(9);
    options.SliderMP3EncoderQuality.setValue(9);
    chooseText(options.cmbMP3StereoMode, QStringLiteral("Mono"));
    chooseText(options.cmbMP3Freq, QStringLiteral("22.05 KHz"));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("v0.mp3")));
    expectComplete();
    auto p = probe(path(QStringLiteral("v0.mp3")));
    EXPECT_EQ(p.rate, 22050);
    EXPECT_EQ(p.channels, 1);
    EXPECT_NEAR(p.duration, 3.0, mp3Slack(22050));

    // -V 9 with "Auto Sampling": lame picks the rate itself.
    options.SliderMP3VBR.setValue(0);
    options.SliderMP3EncoderQuality.setValue(0);
    chooseText(options.cmbMP3StereoMode, QStringLiteral("Joint Stereo"));
    chooseText(options.cmbMP3Freq, QStringLiteral("Auto Sampling"));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("v9.mp3")));
    expectComplete();
    p = probe(path(QStringLiteral("v9.mp3")));
    EXPECT_EQ(p.channels, 2);
    EXPECT_GT(p.rate, 0);
    EXPECT_NEAR(p.duration, 3.0, mp3Slack(p.rate));

    // --abr 310, the first entry of its list.
    options.optMP3ABR.click();
    options.cmbMP3ABitrate.setListIndex(0);
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("abr.mp3")));
    expectComplete();
    p = probe(path(QStringLiteral("abr.mp3")));
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.duration, 3.0, mp3Slack(p.rate));
}

TEST_F(Mp3Conversion, SurroundSoundTrackIsMixedDownToStereo)
{
    // A film's 5.1 sound track, which lame itself refuses.
    const QString in = path(QStringLiteral("film.mkv"));
    ASSERT_TRUE(encodertest::makeDistinctTone(in, 3.0, 48000, QStringLiteral("5.1"), 6));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("film.mp3")));
    expectComplete();
    EXPECT_EQ(session.channelInfo.chans, 2u);
    const auto p = probe(path(QStringLiteral("film.mp3")));
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.duration, 3.0, mp3Slack(48000));
}

TEST_F(Mp3Conversion, DownmixMatchesFfmpegsOwnStereoMix)
{
    const QString in = path(QStringLiteral("six.wav"));
    ASSERT_TRUE(encodertest::makeDistinctTone(in, 1.0, 44100, QStringLiteral("5.1"), 6));
    const HSTREAM stream = engine::OpenStream(false, in, 0, 0, BASS_STREAM_DECODE | BASS_STREAM_DOWNMIX);
    ASSERT_NE(stream, 0u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.chans, 2u);
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    EXPECT_EQ(length, QWORD(44100 * 4));
    QByteArray ours;
    char buffer[7000]; // not a whole number of six-channel frames
    for (DWORD got; (got = BASS_ChannelGetData(stream, buffer, sizeof buffer)) != DWORD(-1);)
        ours.append(buffer, int(got));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), length);
    BASS_StreamFree(stream);

    const QByteArray reference = testsupport::decodeWithFfmpeg(in, {QStringLiteral("-ac"), QStringLiteral("2")});
    ASSERT_EQ(ours.size(), reference.size());
    const auto* a = reinterpret_cast<const qint16*>(ours.constData());
    const auto* b = reinterpret_cast<const qint16*>(reference.constData());
    int worst = 0;
    for (qsizetype i = 0; i < ours.size() / 2; ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    EXPECT_LE(worst, 1);
}

TEST_F(Mp3Conversion, CancellingKeepsAShorterFile)
{
    const QString in = path(QStringLiteral("long.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 30.0, 44100, 2));
    desktop.onProcessEvents = [this] { state.bCancelConversion = true; };
    const QString out = path(QStringLiteral("long.mp3"));
    convert::ConvertToMP3_OGG(session, in, out);
    EXPECT_EQ(status(), QStringLiteral("Cancelled"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    // Stopped at the first yield (the wait for the encoder to finish may
    // yield once more).
    EXPECT_LE(desktop.eventYields, 2);
    EXPECT_FALSE(QFile::exists(out)); // never under the result's name
    EXPECT_TRUE(session.outputMade.startsWith(path(QStringLiteral("long (stopped at 00m0"))))
        << qPrintable(session.outputMade);
    const auto p = probe(session.outputMade);
    EXPECT_EQ(p.channels, 2);
    EXPECT_GT(p.duration, 0.5);
    EXPECT_LT(p.duration, 3.0);
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(Mp3Conversion, AStoppedAtNameNeverOverstatesWhatTheKeptFileHolds)
{
    // At a random chunk the encoder falls behind (it is paused, as a busy
    // machine would hold it up) and Stop comes while a chunk waits for it:
    // the encoder is killed, and only what reached the file may be named.
    const QString in = path(QStringLiteral("long.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 20.0, 44100, 2));
    session.setYieldInterval(0);
    std::mt19937 random(36); // fixed, so that a failure comes back
    const QRegularExpression stoppedAt(QStringLiteral("stopped at (\\d+)m(\\d+)s"));
    int kept = 0;
    for (const int format : {FormatOptions::MP3, FormatOptions::OGG}) {
        options.optFileFormat(format).click();
        for (int round = 0; round < 10; ++round) {
            const int pauseAt = std::uniform_int_distribution(1, 12)(random);
            int yields = 0;
            pid_t paused = 0;
            desktop.onProcessEvents = [&] {
                if (++yields == pauseAt)
                    paused = pauseEncoder();
                else if (paused > 0)
                    state.bCancelConversion = true;
            };
            state.bCancelConversion = false;
            session.outputMade.clear();
            convert::ConvertToMP3_OGG(
                session, in,
                path(format == FormatOptions::MP3 ? QStringLiteral("long.mp3") : QStringLiteral("long.ogg")));
            SCOPED_TRACE(session.outputMade.toStdString());
            ASSERT_GT(paused, 0);
            ASSERT_EQ(status(), QStringLiteral("Cancelled"));
            if (session.outputMade.isEmpty())
                continue; // the encoder had written nothing yet: nothing is kept
            ++kept;
            const QRegularExpressionMatch named = stoppedAt.match(session.outputMade);
            ASSERT_TRUE(named.hasMatch());
            const double holds = double(testsupport::decodeWithFfmpeg(session.outputMade).size()) / 4 / 44100;
            EXPECT_LE(named.captured(1).toInt() * 60 + named.captured(2).toInt(), holds);
            EXPECT_GT(holds, 0.0);
            EXPECT_TRUE(QFile::remove(session.outputMade));
        }
    }
    EXPECT_GE(kept, 10);
}

TEST_F(Mp3Conversion, MissingEncoderEndsErrorWithALogLine)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    const QString out = path(QStringLiteral("tone.mp3"));
    {
        const encodertest::PathOverride noLame(dir.path()); // neither PATH nor the program folder has lame
        convert::ConvertToMP3_OGG(session, in, out);
    }
    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    // The engine's code, then why: the program could not be run.
    EXPECT_TRUE(lines[0].contains(QStringLiteral(" Can't Open the File 2 occured when Quill2 tried to play/convert: ") +
                                  in + QStringLiteral(" (cannot run lame: ")))
        << lines[0].toStdString();
    EXPECT_TRUE(list->statusReason(0).startsWith(QStringLiteral("cannot run lame: ")))
        << list->statusReason(0).toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(Mp3Conversion, EncoderBesideTheProgramComesBeforePath)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    // A lame in the program folder that leaves a mark, then runs the real one.
    const QString marker = path(QStringLiteral("marker"));
    ASSERT_TRUE(testsupport::writeShellScript(
        home + QStringLiteral("/lame"),
        QStringLiteral("echo used > '%1'\nexec /usr/bin/lame \"$@\"\n").arg(marker).toUtf8()));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("tone.mp3")));
    expectComplete();
    EXPECT_TRUE(QFileInfo::exists(marker));
}

TEST_F(Mp3Conversion, UnopenableInputEndsErrorWithTheEnginesCode)
{
    const QString in = path(QStringLiteral("missing.flac"));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("x.mp3")));
    EXPECT_EQ(status(), QStringLiteral("Error"));
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral(" Can't Open the File 2 occured")));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("x.mp3"))));

    const QString junk = path(QStringLiteral("junk.mp3"));
    ASSERT_TRUE(testsupport::writeFile(junk, QByteArray(4096, '\x5a')));
    convert::ConvertToMP3_OGG(session, junk, path(QStringLiteral("y.mp3")));
    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_EQ(logLines().size(), 2);
}

TEST_F(Mp3Conversion, ExistingOutputIsNeverOverwritten)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    const QString out = path(QStringLiteral("taken.mp3"));
    ASSERT_TRUE(testsupport::writeFile(out, "keep me"));
    // Taken after the name was chosen: the output takes the next free name.
    convert::ConvertToMP3_OGG(session, in, out);
    expectComplete();
    EXPECT_EQ(testsupport::readFile(out), QByteArray("keep me"));
    EXPECT_EQ(session.outputMade, path(QStringLiteral("taken_Converted.mp3")));
    EXPECT_EQ(probe(session.outputMade).channels, 2);
}

TEST_F(Mp3Conversion, HostileOutputPathsAreOnlyData)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    const QString folder = path(QStringLiteral("say \"hi\" $(touch pwned) `touch pwned2`; x"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString out = folder + QStringLiteral("/-V0 Ünïcödé ノート \"q\".mp3");
    convert::ConvertToMP3_OGG(session, in, out);
    expectComplete();
    EXPECT_EQ(probe(out).channels, 2);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned2")));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/pwned")));

    // A relative output name that begins with a dash is a file, not an option.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    convert::ConvertToMP3_OGG(session, in, QStringLiteral("-q.mp3"));
    QDir::setCurrent(saved);
    expectComplete();
    EXPECT_EQ(probe(path(QStringLiteral("-q.mp3"))).channels, 2);
}

TEST_F(Mp3Conversion, UnwritableLogStillEndsTheRowError)
{
    ASSERT_TRUE(QDir().mkpath(logPath)); // a folder where the log file should be
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    const encodertest::PathOverride noLame(dir.path());
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("tone.mp3")));
    EXPECT_EQ(status(), QStringLiteral("Error"));
}
