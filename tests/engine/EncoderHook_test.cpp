#include "engine/ChannelRegistry.h"
#include "engine/EncoderCommandLine.h"
#include "engine/EncoderHook.h"
#include "engine/PlaybackSineChannel.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using engine::ChannelKind;
using engine::ChannelRegistry;
using engine::splitCommandLine;
using testsupport::SineChannel;

namespace {

using Args = std::vector<std::string>;

DWORD addSine(int rate, int channels, double seconds, bool eightBit = false)
{
    return ChannelRegistry::global().add(ChannelKind::Stream, BASS_STREAM_DECODE,
                                         std::make_shared<SineChannel>(rate, channels, seconds, 440.0, eightBit));
}

// Decodes the channel to its end; BASS_ChannelGetData hands every byte to the encoder.
void pumpToEnd(DWORD handle)
{
    std::vector<char> buffer(20000);
    while (BASS_ChannelIsActive(handle) != BASS_ACTIVE_STOPPED) {
        const DWORD got = BASS_ChannelGetData(handle, buffer.data(), DWORD(buffer.size()));
        ASSERT_NE(got, DWORD(-1)) << engine::lastError();
    }
}

std::string quoted(const QString& path)
{
    return engine::quoteCommandArgument(path.toStdString());
}

QJsonObject probe(const QString& path)
{
    QByteArray out;
    const int rc =
        testsupport::runProgram(QStringLiteral("ffprobe"),
                                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_format"),
                                 QStringLiteral("-show_streams"), QStringLiteral("-of"), QStringLiteral("json"), path},
                                &out);
    EXPECT_EQ(rc, 0) << "ffprobe failed on " << path.toStdString();
    return QJsonDocument::fromJson(out).object();
}

class EncoderHook : public ::testing::Test {
protected:
    void TearDown() override { ChannelRegistry::global().clear(); }
    QTemporaryDir dir;
};

} // namespace

TEST(EncoderCommandLine, SplitsOnBlanksAndHonoursDoubleQuotes)
{
    EXPECT_EQ(splitCommandLine("lame --cbr -b 128  -m j - \"/out dir/a b.mp3\""),
              (Args{"lame", "--cbr", "-b", "128", "-m", "j", "-", "/out dir/a b.mp3"}));
    EXPECT_EQ(splitCommandLine("  \t"), Args{});
    EXPECT_EQ(splitCommandLine("a \"\" b"), (Args{"a", "", "b"}));
    EXPECT_EQ(splitCommandLine("pre\"mid dle\"post x"), (Args{"premid dlepost", "x"}));
    EXPECT_EQ(splitCommandLine("\"say \"\"hi\"\"\""), (Args{"say \"hi\""}));
    EXPECT_EQ(splitCommandLine("\"C:\\dir\\\" next"), (Args{"C:\\dir\\", "next"}));
    EXPECT_EQ(splitCommandLine("x \"unterminated two"), (Args{"x", "unterminated two"}));
    EXPECT_EQ(splitCommandLine("$(rm -rf x) `id` a;b|c"), (Args{"$(rm", "-rf", "x)", "`id`", "a;b|c"}));
}

TEST(EncoderCommandLine, QuotingRoundTrips)
{
    for (const std::string& s : {std::string("plain"), std::string("with space"), std::string("q\"uo\"\"te"),
                                 std::string(""), std::string("trailing\\"), std::string("$(x) `y`")}) {
        EXPECT_EQ(splitCommandLine("prog " + engine::quoteCommandArgument(s) + " end"), (Args{"prog", s, "end"}));
    }
}

TEST_F(EncoderHook, StartStopAndStateErrors)
{
    EXPECT_EQ(BASS_Encode_Start(0x7FFFFFF0, "cat", 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_Encode_Stop(0x7FFFFFF0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);

    const DWORD h = addSine(44100, 2, 0.1);
    EXPECT_EQ(BASS_Encode_Start(h, "   ", 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_Encode_Start(h, nullptr, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_Encode_Stop(h)); // nothing attached
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_Encode_IsActive(h), BASS_ACTIVE_STOPPED);

    const DWORD played = ChannelRegistry::global().add(ChannelKind::Stream, BASS_SAMPLE_LOOP,
                                                       std::make_shared<SineChannel>(44100, 2, 0.1));
    EXPECT_EQ(BASS_Encode_Start(played, "cat", 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_NOTAVAIL);

    ASSERT_EQ(BASS_Encode_Start(h, "cat", 0, nullptr, nullptr), h);
    EXPECT_EQ(engine::lastError(), BASS_OK);
    EXPECT_EQ(BASS_Encode_IsActive(h), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(BASS_Encode_Start(h, "cat", 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ALREADY);
    pumpToEnd(h);
    EXPECT_TRUE(BASS_Encode_Stop(h));
    EXPECT_EQ(engine::lastError(), BASS_OK);
    EXPECT_TRUE(engine::lastEncoderOutcome().succeeded());
    EXPECT_EQ(BASS_Encode_IsActive(h), BASS_ACTIVE_STOPPED);
}

TEST_F(EncoderHook, WritesAStreamingWavHeaderThenEveryByte)
{
    const QString out = dir.filePath(QStringLiteral("copy.wav"));
    const DWORD h = addSine(22050, 1, 0.5, /*eightBit=*/true);
    const std::string cmd = "sh -c " + engine::quoteCommandArgument("cat > \"$0\"") + " " + quoted(out);
    ASSERT_NE(BASS_Encode_Start(h, cmd.c_str(), 0, nullptr, nullptr), 0u);
    pumpToEnd(h);
    ASSERT_TRUE(BASS_Encode_Stop(h)) << engine::lastEncoderOutcome().problem;

    const QByteArray wav = testsupport::readFile(out);
    ASSERT_EQ(wav.size(), 44 + 11025);
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(u16(20), 1); // PCM
    EXPECT_EQ(u16(22), 1); // channels
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(u32(28), 22050u); // bytes per second
    EXPECT_EQ(u16(32), 1);      // block align
    EXPECT_EQ(u16(34), 8);      // bits
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(u32(40), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<unsigned char>(wav.at(44)), 128); // unsigned 8-bit silence point at phase 0
}

TEST_F(EncoderHook, LameAndOggencEncodeTheFullDuration)
{
    QDir(dir.path()).mkdir(QStringLiteral("out put"));
    const QString mp3 = dir.filePath(QStringLiteral("out put/tone one.mp3"));
    const QString ogg = dir.filePath(QStringLiteral("out put/tone two.ogg"));

    const DWORD a = addSine(44100, 2, 3.0);
    const std::string lame = "lame --cbr -b 128 -m j -q 4 - " + quoted(mp3);
    ASSERT_EQ(BASS_Encode_Start(a, lame.c_str(), 0, nullptr, nullptr), a) << engine::lastEncoderOutcome().problem;
    pumpToEnd(a);
    ASSERT_TRUE(BASS_Encode_Stop(a)) << engine::lastEncoderOutcome().problem;

    const DWORD b = addSine(22050, 1, 2.0, /*eightBit=*/true);
    const std::string oggenc = "oggenc -b 64 --quality 3 - -o " + quoted(ogg);
    ASSERT_EQ(BASS_Encode_Start(b, oggenc.c_str(), 0, nullptr, nullptr), b);
    pumpToEnd(b);
    ASSERT_TRUE(BASS_Encode_Stop(b)) << engine::lastEncoderOutcome().problem;

    struct Expect {
        QString path;
        double seconds;
        int rate;
        int channels;
    };
    for (const Expect& e : {Expect{mp3, 3.0, 44100, 2}, Expect{ogg, 2.0, 22050, 1}}) {
        const QJsonObject info = probe(e.path);
        const QJsonObject stream = info[QStringLiteral("streams")].toArray().at(0).toObject();
        EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString().toInt(), e.rate) << e.path.toStdString();
        EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), e.channels) << e.path.toStdString();
        // lame adds up to a frame of padding; the decoded sample count is the real check.
        const QByteArray pcm = testsupport::decodeWithFfmpeg(e.path);
        const double decoded = double(pcm.size()) / (2 * e.channels * e.rate);
        EXPECT_NEAR(decoded, e.seconds, 0.06) << e.path.toStdString();
    }
}

TEST_F(EncoderHook, RealFileDecodedIntoLame)
{
    const QString wav = dir.filePath(QStringLiteral("in put.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("out put.mp3"));
    ASSERT_TRUE(testsupport::makeTone(wav, 4.0, 48000, 1));
    const HSTREAM h = BASS_StreamCreateFile(false, QFile::encodeName(wav).constData(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u) << engine::lastError();
    const std::string lame = "lame -V 2 -m m - " + quoted(mp3);
    ASSERT_EQ(BASS_Encode_Start(h, lame.c_str(), 0, nullptr, nullptr), h) << engine::lastEncoderOutcome().problem;
    pumpToEnd(h);
    ASSERT_TRUE(BASS_Encode_Stop(h)) << engine::lastEncoderOutcome().problem;
    EXPECT_TRUE(BASS_StreamFree(h));

    const QJsonObject stream = probe(mp3)[QStringLiteral("streams")].toArray().at(0).toObject();
    EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString(), QStringLiteral("48000"));
    EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), 1);
    EXPECT_NEAR(double(testsupport::decodeWithFfmpeg(mp3).size()) / (2 * 48000), 4.0, 0.06);
}

TEST_F(EncoderHook, QuotedArgumentsReachTheProgramVerbatimWithoutAShell)
{
    QDir(dir.path()).mkdir(QStringLiteral("tool dir"));
    const QString script = dir.filePath(QStringLiteral("tool dir/print args"));
    const QString listing = dir.filePath(QStringLiteral("argv.txt"));
    ASSERT_TRUE(testsupport::writeShellScript(
        script,
        "cat > /dev/null\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/../argv.txt\"\n"));
    const QString marker1 = dir.filePath(QStringLiteral("injected1"));
    const QString marker2 = dir.filePath(QStringLiteral("injected2"));
    const std::string tricky = "a b $(touch " + marker1.toStdString() + ") `touch " + marker2.toStdString() + "`; c";
    const std::string cmd =
        quoted(script) + " --flag " + quoted(QString::fromStdString(tricky)) + " \"say \"\"hi\"\"\" last";

    const DWORD h = addSine(8000, 1, 0.1);
    ASSERT_NE(BASS_Encode_Start(h, cmd.c_str(), 0, nullptr, nullptr), 0u) << engine::lastEncoderOutcome().problem;
    pumpToEnd(h);
    ASSERT_TRUE(BASS_Encode_Stop(h)) << engine::lastEncoderOutcome().problem;

    const QList<QByteArray> lines = testsupport::readFile(listing).split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "--flag");
    EXPECT_EQ(lines[1].toStdString(), tricky);
    EXPECT_EQ(lines[2], "say \"hi\"");
    EXPECT_EQ(lines[3], "last");
    EXPECT_FALSE(QFile::exists(marker1));
    EXPECT_FALSE(QFile::exists(marker2));
}

TEST_F(EncoderHook, ProgramThatCannotRunIsRefusedAtStart)
{
    const DWORD h = addSine(44100, 2, 0.1);
    EXPECT_EQ(BASS_Encode_Start(h, "tonemill-no-such-encoder -", 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_FILEOPEN);
    EXPECT_FALSE(engine::lastEncoderOutcome().problem.empty());

    const QString notExecutable = dir.filePath(QStringLiteral("plain file"));
    QFile f(notExecutable);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(BASS_Encode_Start(h, quoted(notExecutable).c_str(), 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_Encode_Start(h, quoted(dir.path()).c_str(), 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_Encode_IsActive(h), BASS_ACTIVE_STOPPED);
}

TEST_F(EncoderHook, NonZeroExitIsAFailure)
{
    const DWORD h = addSine(44100, 2, 0.2);
    ASSERT_NE(BASS_Encode_Start(h, "sh -c \"cat > /dev/null; exit 1\"", 0, nullptr, nullptr), 0u);
    pumpToEnd(h);
    EXPECT_FALSE(BASS_Encode_Stop(h));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_UNKNOWN);
    const engine::EncoderOutcome outcome = engine::lastEncoderOutcome();
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.inputComplete);
    EXPECT_FALSE(outcome.problem.empty());
}

TEST_F(EncoderHook, ChildThatEndsEarlyIsReportedAndDoesNotHurtUs)
{
    // The child reads a little, complains and exits 0 while 10 s of audio are still coming.
    const DWORD h = addSine(44100, 2, 10.0);
    ASSERT_NE(BASS_Encode_Start(h, "sh -c \"head -c 1000 > /dev/null; echo giving up >&2\"", 0, nullptr, nullptr), 0u);
    pumpToEnd(h); // must neither hang nor die of SIGPIPE
    EXPECT_EQ(BASS_Encode_IsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(BASS_Encode_Stop(h));
    const engine::EncoderOutcome outcome = engine::lastEncoderOutcome();
    EXPECT_FALSE(outcome.inputComplete);
    EXPECT_FALSE(outcome.succeeded());
    EXPECT_NE(outcome.errorOutput.find("giving up"), std::string::npos);
}

TEST_F(EncoderHook, ChattyChildCannotDeadlockTheWriter)
{
    // 2 MB on standard error before it reads anything: far more than a pipe holds.
    const DWORD h = addSine(44100, 2, 2.0);
    ASSERT_NE(BASS_Encode_Start(h, "sh -c \"head -c 2000000 /dev/zero | tr '\\0' e >&2; cat > /dev/null\"", 0, nullptr,
                                nullptr),
              0u);
    pumpToEnd(h);
    ASSERT_TRUE(BASS_Encode_Stop(h)) << engine::lastEncoderOutcome().problem;
    const engine::EncoderOutcome outcome = engine::lastEncoderOutcome();
    EXPECT_GT(outcome.errorOutput.size(), 0u);
    EXPECT_LE(outcome.errorOutput.size(), 16384u);
}

TEST_F(EncoderHook, FreeingTheChannelEndsItsEncoder)
{
    const QString out = dir.filePath(QStringLiteral("freed.raw"));
    const DWORD h = addSine(44100, 1, 0.2);
    const std::string cmd = "sh -c " + engine::quoteCommandArgument("cat > \"$0\"") + " " + quoted(out);
    ASSERT_NE(BASS_Encode_Start(h, cmd.c_str(), 0, nullptr, nullptr), 0u);
    pumpToEnd(h);
    ChannelRegistry::global().remove(h); // closes the input and reaps the child
    EXPECT_EQ(QFileInfo(out).size(), 44 + 2 * 8820);
}
