#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"
#include "engine/Playback.h"
#include "engine/PlaybackSineChannel.h"
#include "support/Fixtures.h"
#include "support/SinkTest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using engine::ChannelKind;
using engine::ChannelRegistry;
using engine::playbackState;
using testsupport::analyseTone;
using testsupport::SineChannel;
using Analysis = testsupport::ToneAnalysis;

namespace {

constexpr double kToneRms = 3000; // a half-scale sine is about 11600
using testsupport::kSilenceRms;

class Playback : public testsupport::SinkTest {
protected:
    void SetUp() override
    {
        SinkTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << engine::lastError();
    }

    void TearDown() override
    {
        if (engine::engineInitialised())
            BASS_Free();
    }

    static void wait(int ms) { recorder().wait(ms); }

    DWORD addTone(double seconds, DWORD flags, double frequency = 440, int rate = 44100, int channels = 2,
                  bool eightBit = false)
    {
        auto channel = std::make_shared<SineChannel>(rate, channels, seconds, frequency, eightBit);
        lastChannel = channel;
        return ChannelRegistry::global().add(ChannelKind::Stream, flags, channel);
    }

    std::shared_ptr<SineChannel> lastChannel;
};

} // namespace

TEST_F(Playback, ToneIsHeardAndSilenceFollowsStop)
{
    const DWORD h = addTone(30, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    EXPECT_EQ(playbackState(h), BASS_ACTIVE_STOPPED);
    ASSERT_TRUE(BASS_ChannelPlay(h, false)) << engine::lastError();
    EXPECT_EQ(engine::lastError(), BASS_OK);
    EXPECT_EQ(playbackState(h), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    wait(400);
    const Analysis playing = analyseTone(recorder().capture(700));
    EXPECT_GT(playing.rms, kToneRms);
    EXPECT_NEAR(playing.frequency, 440, 15);

    ASSERT_TRUE(BASS_ChannelStop(h));
    EXPECT_EQ(playbackState(h), BASS_ACTIVE_STOPPED);
    wait(400);
    EXPECT_LT(analyseTone(recorder().capture(500)).rms, kSilenceRms);
    EXPECT_TRUE(BASS_ChannelStop(h)); // stopping a stopped channel is fine
}

TEST_F(Playback, PauseKeepsThePositionAndPlayResumes)
{
    const DWORD h = addTone(30, BASS_SAMPLE_LOOP);
    EXPECT_FALSE(BASS_ChannelPause(h));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_NOPLAY);
    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    wait(500);
    ASSERT_TRUE(BASS_ChannelPause(h));
    EXPECT_EQ(playbackState(h), BASS_ACTIVE_PAUSED);
    EXPECT_FALSE(BASS_ChannelPause(h));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ALREADY);
    wait(400);
    const std::int64_t pausedAt = lastChannel->position();
    EXPECT_GT(pausedAt, 0);
    EXPECT_LT(analyseTone(recorder().capture(500)).rms, kSilenceRms);
    EXPECT_EQ(lastChannel->position(), pausedAt);

    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    EXPECT_EQ(playbackState(h), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(lastChannel->rewinds.load(), 0);
    wait(400);
    EXPECT_GT(analyseTone(recorder().capture(500)).rms, kToneRms);
    EXPECT_GT(lastChannel->position(), pausedAt);

    // Stop, then Play goes on from where the data was; restart goes back to the start.
    ASSERT_TRUE(BASS_ChannelStop(h));
    const std::int64_t stoppedAt = lastChannel->position();
    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    EXPECT_EQ(lastChannel->rewinds.load(), 0);
    EXPECT_GE(lastChannel->position(), stoppedAt);
    ASSERT_TRUE(BASS_ChannelPlay(h, true));
    EXPECT_EQ(lastChannel->rewinds.load(), 1);
    EXPECT_LT(lastChannel->position(), stoppedAt);
    EXPECT_EQ(playbackState(h), BASS_ACTIVE_PLAYING);
}

TEST_F(Playback, ChannelWithoutLoopStopsAtItsEndAndLoopingOneGoesOn)
{
    const DWORD once = addTone(0.5, 0);
    auto onceChannel = lastChannel;
    const DWORD looping = addTone(0.5, BASS_SAMPLE_LOOP, 660);
    auto loopChannel = lastChannel;
    ASSERT_TRUE(BASS_ChannelPlay(once, false));
    ASSERT_TRUE(BASS_ChannelPlay(looping, false));

    QElapsedTimer timer;
    timer.start();
    while (playbackState(once) != BASS_ACTIVE_STOPPED && timer.elapsed() < 5000)
        wait(20);
    EXPECT_EQ(playbackState(once), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelIsActive(once), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(onceChannel->position(), onceChannel->length());
    EXPECT_GE(timer.elapsed(), 300);

    wait(1500); // the looping one has passed its end a few times by now
    EXPECT_EQ(playbackState(looping), BASS_ACTIVE_PLAYING);
    EXPECT_GE(loopChannel->rewinds.load(), 2);
    const Analysis still = analyseTone(recorder().capture(500));
    EXPECT_GT(still.rms, kToneRms);
    EXPECT_NEAR(still.frequency, 660, 20); // only the looping tone is left

    // Playing an ended channel again starts it from the beginning.
    ASSERT_TRUE(BASS_ChannelPlay(once, false));
    EXPECT_EQ(playbackState(once), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(onceChannel->rewinds.load(), 1);
}

TEST_F(Playback, EightBitMonoAndSixChannelDataPlay)
{
    const DWORD mono8 = addTone(30, BASS_SAMPLE_LOOP, 330, 22050, 1, /*eightBit=*/true);
    ASSERT_TRUE(BASS_ChannelPlay(mono8, false)) << engine::lastError();
    wait(400);
    const Analysis a = analyseTone(recorder().capture(600));
    EXPECT_GT(a.rms, kToneRms);
    EXPECT_NEAR(a.frequency, 330, 15);
    ASSERT_TRUE(BASS_ChannelStop(mono8));

    const DWORD six = addTone(30, BASS_SAMPLE_LOOP, 550, 48000, 6);
    ASSERT_TRUE(BASS_ChannelPlay(six, false)) << engine::lastError();
    wait(400);
    const Analysis b = analyseTone(recorder().capture(600));
    EXPECT_GT(b.rms, kToneRms / 2);
    EXPECT_NEAR(b.frequency, 550, 20);
}

TEST_F(Playback, InitAndFreeCodes)
{
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ALREADY);
    const DWORD h = addTone(30, BASS_SAMPLE_LOOP);
    ASSERT_TRUE(BASS_ChannelPlay(h, false));

    ASSERT_TRUE(BASS_Free()); // stops the output and frees every handle
    EXPECT_EQ(engine::lastError(), BASS_OK);
    EXPECT_EQ(ChannelRegistry::global().find(h), nullptr);
    wait(400);
    EXPECT_LT(analyseTone(recorder().capture(400)).rms, kSilenceRms);

    EXPECT_FALSE(BASS_Init(99, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_DEVICE);
    qputenv("TONEMILL_AUDIO_DEVICE", "tonemill_no_such_output");
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_DEVICE);
    qputenv("TONEMILL_AUDIO_DEVICE", recorder().sink().toUtf8());
    EXPECT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << engine::lastError();
    ASSERT_TRUE(BASS_Free());
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
}

TEST_F(Playback, RealFileStreamPlaysAndFreeingItStopsIt)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("tone file.wav"));
    ASSERT_TRUE(testsupport::makeTone(wav, 1.0, 44100, 2));
    const QByteArray path = QFile::encodeName(wav);
    const HSTREAM h = BASS_StreamCreateFile(false, path.constData(), 0, 0, BASS_SAMPLE_LOOP | BASS_SAMPLE_FX);
    ASSERT_NE(h, 0u) << engine::lastError();
    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    wait(1500); // past the file's end: it loops
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    const Analysis a = analyseTone(recorder().capture(500));
    EXPECT_GT(a.rms, kToneRms / 2);
    EXPECT_NEAR(a.frequency, 440, 15);

    ASSERT_TRUE(BASS_StreamFree(h));
    wait(400);
    EXPECT_LT(analyseTone(recorder().capture(400)).rms, kSilenceRms);
}

TEST(PlaybackNoSound, CodesThatNeedNoOutput)
{
    auto add = [](DWORD flags) {
        return ChannelRegistry::global().add(ChannelKind::Stream, flags, std::make_shared<SineChannel>(44100, 2, 1.0));
    };
    const DWORD early = add(0);
    EXPECT_FALSE(BASS_ChannelPlay(early, false));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_ChannelPause(early));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_ChannelStop(early));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(engine::lastError(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Init(-2, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_DEVICE);

    // Device 0, "no sound": the engine runs, channels cannot be played.
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ALREADY);
    EXPECT_FALSE(BASS_ChannelPlay(early, false));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_NOTAVAIL);

    const DWORD decoding = add(BASS_STREAM_DECODE);
    EXPECT_FALSE(BASS_ChannelPlay(decoding, false));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_DECODE);
    EXPECT_FALSE(BASS_ChannelPause(decoding));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_DECODE);
    EXPECT_TRUE(BASS_ChannelStop(decoding));                        // nothing to stop
    EXPECT_EQ(BASS_ChannelIsActive(decoding), BASS_ACTIVE_PLAYING); // still has data to decode

    EXPECT_FALSE(BASS_ChannelPlay(0x7FFFFFF0, false));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelStop(0x7FFFFFF0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);

    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(ChannelRegistry::global().find(decoding), nullptr);
}

// Run in a child process of this test program whose PULSE_SERVER leads nowhere.
TEST(PlaybackWithoutServer, InitReportsTheMissingDriver)
{
    if (qEnvironmentVariable("TONEMILL_TEST_NO_SERVER") != QStringLiteral("1")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TONEMILL_TEST_NO_SERVER"), QStringLiteral("1"));
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/tonemill/native"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=PlaybackWithoutServer.InitReportsTheMissingDriver")});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().constData();
        return;
    }
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_DRIVER);
    EXPECT_FALSE(engine::engineInitialised());
}
