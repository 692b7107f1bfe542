#include "StreamTestHelpers.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace streamtest;

namespace {

const QString kFfmpeg = QStringLiteral("ffmpeg");

class StreamDecodeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { engine::LoadFormatModules(); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    //! Makes a file with ffmpeg from lavfi sources; returns its path.
    QString make(const QString& name, const QStringList& inputsAndOptions)
    {
        QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                         QStringLiteral("-y")};
        args += inputsAndOptions;
        args << path(name);
        EXPECT_EQ(testsupport::runProgram(kFfmpeg, args), 0) << name.toStdString();
        return path(name);
    }

    //! Decodes the whole file through the engine and checks it against an
    //! independent ffmpeg decode: same bytes, length known up front equal to
    //! what was delivered, position == length at the end, channel inactive.
    void expectSameAsFfmpeg(const QString& file, DWORD expectedChannels = 0)
    {
        SCOPED_TRACE(file.toStdString());
        const QByteArray reference = testsupport::decodeWithFfmpeg(file);
        ASSERT_FALSE(reference.isEmpty());
        const HSTREAM handle = openDecoding(file);
        ASSERT_NE(handle, 0u) << BASS_ErrorGetCode();
        BASS_CHANNELINFO info;
        ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
        EXPECT_EQ(info.flags & BASS_SAMPLE_8BITS, 0u);
        if (expectedChannels) {
            EXPECT_EQ(info.chans, expectedChannels);
        }
        EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(reference.size()));
        EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), 0u);
        EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_PLAYING);

        const QByteArray ours = readToEnd(handle);
        EXPECT_EQ(ours.size(), reference.size());
        EXPECT_TRUE(ours == reference) << "decoded PCM differs from ffmpeg's";
        expectAtEnd(handle, ours.size());
        EXPECT_TRUE(BASS_StreamFree(handle));
    }

    QTemporaryDir m_dir;
};

QStringList sine(int rate, double seconds, int channels = 2)
{
    return {
        QStringLiteral("-f"),  QStringLiteral("lavfi"),
        QStringLiteral("-i"),  QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds),
        QStringLiteral("-ac"), QString::number(channels)};
}

TEST_F(StreamDecodeTest, LosslessFilesMatchFfmpegByteForByte)
{
    expectSameAsFfmpeg(make(QStringLiteral("tone.wav"), sine(44100, 2.3)), 2);
    expectSameAsFfmpeg(make(QStringLiteral("tone.aiff"), sine(22050, 1.1, 1)), 1);
    expectSameAsFfmpeg(make(QStringLiteral("tone.flac"), sine(48000, 2.7)), 2);
    expectSameAsFfmpeg(
        make(QStringLiteral("tone24.flac"), sine(44100, 1.5) << QStringLiteral("-sample_fmt") << QStringLiteral("s32")),
        2);
    expectSameAsFfmpeg(make(QStringLiteral("tone.wv"), sine(44100, 1.2)));
    expectSameAsFfmpeg(make(QStringLiteral("tone.tta"), sine(44100, 1.2)));
    expectSameAsFfmpeg(
        make(QStringLiteral("alac.m4a"), sine(44100, 1.2) << QStringLiteral("-c:a") << QStringLiteral("alac")));
}

TEST_F(StreamDecodeTest, LossyFilesMatchFfmpegIncludingPrimingAndPadding)
{
    const QString wav = make(QStringLiteral("source.wav"), sine(44100, 3.3));
    QStringList mp3Options{QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("libmp3lame")};
    expectSameAsFfmpeg(make(QStringLiteral("lame-tag.mp3"), mp3Options));
    expectSameAsFfmpeg(
        make(QStringLiteral("no-xing.mp3"), mp3Options << QStringLiteral("-write_xing") << QStringLiteral("0")));
    expectSameAsFfmpeg(
        make(QStringLiteral("tone.m4a"), {QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("aac")}));
    expectSameAsFfmpeg(make(QStringLiteral("tone.ogg"),
                            {QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("libvorbis")}));
    expectSameAsFfmpeg(make(QStringLiteral("tone.mp2"), {QStringLiteral("-i"), wav}));
    expectSameAsFfmpeg(
        make(QStringLiteral("tone.wma"), {QStringLiteral("-i"), wav, QStringLiteral("-c:a"), QStringLiteral("wmav2")}));
    expectSameAsFfmpeg(make(QStringLiteral("tone.ac3"), {QStringLiteral("-i"), wav}));
}

TEST_F(StreamDecodeTest, ToolEncodedFilesMatchFfmpeg)
{
    const QString wav = make(QStringLiteral("source.wav"), sine(44100, 2.0));
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("lame"), {QStringLiteral("--quiet"), wav, path("lame.mp3")}), 0);
    expectSameAsFfmpeg(path("lame.mp3"));
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("oggenc"),
                                      {QStringLiteral("-Q"), wav, QStringLiteral("-o"), path("oggenc.ogg")}),
              0);
    expectSameAsFfmpeg(path("oggenc.ogg"));
}

// Conversions run side by side: each thread decodes its own stream to the same
// bytes, and each keeps its own last error while another thread fails.
TEST_F(StreamDecodeTest, ThreadsDecodeSideBySideAndKeepTheirOwnErrors)
{
    const QString file = make(QStringLiteral("shared.flac"), sine(44100, 3.0));
    const QByteArray reference = testsupport::decodeWithFfmpeg(file);
    constexpr int kThreads = 4;
    std::array<QByteArray, kThreads> decoded;
    std::array<int, kThreads> lastError{};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            const HSTREAM handle = openDecoding(file);
            decoded[std::size_t(t)] = readToEnd(handle);
            // Odd threads fail on a handle that is not there; even ones succeed.
            BASS_ChannelGetLength(t % 2 ? 0xDEAD : handle, BASS_POS_BYTE);
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the others fail or succeed meanwhile
            lastError[std::size_t(t)] = BASS_ErrorGetCode();
            BASS_StreamFree(handle);
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(decoded[std::size_t(t)] == reference) << "thread " << t;
        EXPECT_EQ(lastError[std::size_t(t)], t % 2 ? BASS_ERROR_HANDLE : BASS_OK) << "thread " << t;
    }
}

TEST_F(StreamDecodeTest, MusepackLengthIsExactBeforeDecoding)
{
    // Musepack's packets claim whole blocks of up to 73728 samples: a
    // 5.4-second file once measured 00:07 before it was decoded.
    const QString wav = make(QStringLiteral("source.wav"), sine(44100, 5.4));
    if (testsupport::runProgram(QStringLiteral("mpcenc"), {QStringLiteral("--silent"), wav, path("sv8.mpc")}) != 0)
        GTEST_SKIP() << "mpcenc (musepack-tools) is needed to make a Musepack file";
    expectSameAsFfmpeg(path("sv8.mpc"));
    const HSTREAM handle = openDecoding(path("sv8.mpc"));
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(handle, BASS_ChannelGetLength(handle, BASS_POS_BYTE)), 5.4, 0.05);
    BASS_StreamFree(handle);
}

TEST_F(StreamDecodeTest, SixChannelFilesDeliverSixChannels)
{
    expectSameAsFfmpeg(make(QStringLiteral("six.flac"), sine(48000, 1.3, 6)), 6);
    expectSameAsFfmpeg(make(QStringLiteral("six.ac3"), sine(48000, 1.3, 6)), 6);
    expectSameAsFfmpeg(
        make(QStringLiteral("six.m4a"), sine(48000, 1.3, 6) << QStringLiteral("-c:a") << QStringLiteral("aac")), 6);
}

TEST_F(StreamDecodeTest, VideoFilesDeliverTheirSoundTrack)
{
    auto video = [](const QString& videoCodec, const QString& audioCodec, int rate) {
        return QStringList{
            QStringLiteral("-f"),       QStringLiteral("lavfi"),
            QStringLiteral("-i"),       QStringLiteral("testsrc=duration=2:size=160x120:rate=25"),
            QStringLiteral("-f"),       QStringLiteral("lavfi"),
            QStringLiteral("-i"),       QStringLiteral("sine=frequency=300:sample_rate=%1:duration=2").arg(rate),
            QStringLiteral("-c:v"),     videoCodec,
            QStringLiteral("-c:a"),     audioCodec,
            QStringLiteral("-shortest")};
    };
    expectSameAsFfmpeg(make(QStringLiteral("clip.mp4"), video(QStringLiteral("mpeg4"), QStringLiteral("aac"), 48000)),
                       1);
    expectSameAsFfmpeg(
        make(QStringLiteral("clip.avi"), video(QStringLiteral("mpeg4"), QStringLiteral("libmp3lame"), 44100)));
    expectSameAsFfmpeg(make(QStringLiteral("clip.wmv"), video(QStringLiteral("wmv2"), QStringLiteral("wmav2"), 44100)));
    expectSameAsFfmpeg(
        make(QStringLiteral("clip.mov"), video(QStringLiteral("mpeg4"), QStringLiteral("pcm_s16le"), 32000)));
    // An MPEG program stream under the name video CDs give it.
    expectSameAsFfmpeg(
        make(QStringLiteral("AVSEQ01.DAT"), video(QStringLiteral("mpeg1video"), QStringLiteral("mp2"), 44100)
                                                << QStringLiteral("-f") << QStringLiteral("mpeg")));
}

TEST_F(StreamDecodeTest, EightBitWavIsDeliveredAsUnsignedBytes)
{
    const QString file =
        make(QStringLiteral("eight.wav"), sine(11025, 1.0, 1) << QStringLiteral("-c:a") << QStringLiteral("pcm_u8"));
    const QByteArray reference = testsupport::decodeWithFfmpeg(file, {QStringLiteral("-f"), QStringLiteral("u8")});
    const HSTREAM handle = openDecoding(file);
    ASSERT_NE(handle, 0u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.flags & BASS_SAMPLE_8BITS, BASS_SAMPLE_8BITS);
    EXPECT_EQ(info.origres, 8u);
    EXPECT_EQ(info.freq, 11025u);
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), 11025u);
    const QByteArray ours = readToEnd(handle, 999);
    EXPECT_TRUE(ours == reference);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(handle, 11025), 1.0);
    BASS_StreamFree(handle);
}

TEST_F(StreamDecodeTest, InformationAttributesAndSeconds)
{
    const QString file =
        make(QStringLiteral("info.flac"), sine(32000, 1.0) << QStringLiteral("-sample_fmt") << QStringLiteral("s16"));
    const HSTREAM handle = openDecoding(file);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.freq, 32000u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.origres, 16u);
    EXPECT_NE(info.plugin, 0u) << "FLAC comes from its format module";
    float rate = 0;
    ASSERT_TRUE(BASS_ChannelGetAttribute(handle, BASS_ATTRIB_FREQ, &rate));
    EXPECT_FLOAT_EQ(rate, 32000.0f);
    EXPECT_FALSE(BASS_ChannelGetAttribute(handle, 99, &rate));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), 128000u);
    EXPECT_DOUBLE_EQ(engine::ChannelSeconds(handle, 128000), 1.0);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(handle, 64000), 0.5);

    // Odd byte counts deliver whole sample frames only.
    char buffer[7];
    EXPECT_EQ(BASS_ChannelGetData(handle, buffer, 7), 4u);
    EXPECT_EQ(BASS_ChannelGetData(handle, buffer, 3), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), 4u);
    BASS_StreamFree(handle);
}

TEST_F(StreamDecodeTest, Utf8PathsWithAnyCharacters)
{
    const QString folder = path(QStringLiteral("Müsik \"live\" 'x' — 音楽"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/Ünïcødé $(echo) `x` & ; name — Ελληνικά 日本.wav");
    ASSERT_TRUE(testsupport::makeTone(file, 0.5, 8000, 1));
    const HSTREAM handle = openDecoding(file);
    ASSERT_NE(handle, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), 8000u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(QString::fromUtf8(info.filename), file);
    BASS_StreamFree(handle);

    // A name that reads like a protocol is still only a file name.
    const QString protocolLike = path(QStringLiteral("concat:x.wav"));
    ASSERT_TRUE(QFile::copy(file, protocolLike));
    const HSTREAM second = openDecoding(protocolLike);
    EXPECT_NE(second, 0u);
    BASS_StreamFree(second);
}

TEST_F(StreamDecodeTest, EveryDeliveredByteReachesAnAttachedEncoder)
{
    // The tap is what the encoder hook attaches; here it just records.
    struct Recorder : engine::ChannelTap {
        QByteArray bytes;
        void deliver(const char* data, std::int64_t size) override { bytes.append(data, static_cast<int>(size)); }
    };
    const QString file = make(QStringLiteral("tap.wav"), sine(8000, 0.7, 1));
    const HSTREAM handle = openDecoding(file);
    ASSERT_NE(handle, 0u);
    auto recorder = std::make_shared<Recorder>();
    engine::ChannelRegistry::global().find(handle)->encoder = recorder;
    const QByteArray delivered = readToEnd(handle, 1234);
    EXPECT_EQ(delivered.size(), 11200);
    EXPECT_TRUE(recorder->bytes == delivered);
    BASS_StreamFree(handle);
}

TEST_F(StreamDecodeTest, RestartDeliversTheSameDataAgain)
{
    const QString file =
        make(QStringLiteral("again.mp3"), sine(44100, 1.0) << QStringLiteral("-c:a") << QStringLiteral("libmp3lame"));
    const HSTREAM handle = openDecoding(file);
    ASSERT_NE(handle, 0u);
    const QByteArray first = readToEnd(handle);
    auto slot = engine::ChannelRegistry::global().find(handle);
    ASSERT_TRUE(slot->channel->rewind());
    EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), 0u);
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(first.size()));
    EXPECT_TRUE(readToEnd(handle) == first);
    BASS_StreamFree(handle);
}

} // namespace
