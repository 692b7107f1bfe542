#include "engine/AudioEngine.h"
#include "loudness/GainChannel.h"
#include "loudness/LoudnessMeter.h"
#include "loudness/TruePeakLimiter.h"
#include "support/Fixtures.h"
#include "support/ReferenceLoudness.h"

#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

//! Loud audio clipped at full scale: square-ish tones and noise whose
//! oversampled peaks lie well above 0 dBFS.
std::vector<float> clipped(int rate, int channels, double seconds)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.6);
    const std::size_t frames = std::size_t(rate * seconds);
    std::vector<float> samples(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double t = double(i) / rate;
            const double value = 3.0 * std::sin(2 * M_PI * (997.0 + 501 * c) * t) + noise(random);
            samples[i * std::size_t(channels) + std::size_t(c)] = float(std::clamp(value, -1.0, 1.0));
        }
    return samples;
}

std::vector<float> limit(const std::vector<float>& in, int rate, int channels, double gainDb, int piece)
{
    loudness::TruePeakLimiter limiter(rate, channels, std::pow(10.0, gainDb / 20), std::pow(10.0, -1.0 / 20));
    std::vector<float> out;
    const int frames = int(in.size()) / channels;
    for (int at = 0; at < frames; at += piece)
        limiter.process(in.data() + std::size_t(at * channels), std::min(piece, frames - at), out);
    limiter.flush(out);
    return out;
}

TEST(TruePeakLimiter, KeepsTheTruePeakOfAClippedInputAtMinusOneDbtpWhateverTheGain)
{
    struct Case {
        int rate;
        int channels;
        double gainDb;
    };
    for (const Case c :
         {Case{44100, 2, 0.0}, Case{44100, 2, 12.0}, Case{48000, 1, 6.0}, Case{96000, 2, 20.0}, Case{22050, 6, -0.5}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, " << c.gainDb << " dB");
        const std::vector<float> in = clipped(c.rate, c.channels, 3.0);
        const std::vector<float> out = limit(in, c.rate, c.channels, c.gainDb, 1000);
        ASSERT_EQ(out.size(), in.size()); // every frame comes out, none is added
        const testsupport::ReferenceLoudness measured =
            testsupport::libebur128Loudness(out, unsigned(c.channels), unsigned(c.rate));
        EXPECT_LE(20 * std::log10(measured.truePeak), -1.0);
        // Limited, not silenced: the loudest parts stay close to the ceiling.
        EXPECT_GT(20 * std::log10(measured.truePeak), -1.5);
    }
}

TEST(TruePeakLimiter, AudioBelowTheCeilingPassesWithTheGainAloneAndInTime)
{
    const int rate = 44100;
    std::vector<float> in(rate * 2);
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = float(0.2 * std::sin(2 * M_PI * 440.0 * double(i / 2) / rate));
    // Pieces of any size, even one frame.
    for (const int piece : {1, 7, 4096}) {
        const std::vector<float> out = limit(in, rate, 2, -6.0, piece);
        ASSERT_EQ(out.size(), in.size());
        const float gain = float(std::pow(10.0, -6.0 / 20));
        for (std::size_t i = 0; i < in.size(); ++i)
            ASSERT_FLOAT_EQ(out[i], in[i] * gain) << "at " << i << ", pieces of " << piece;
    }
}

class GainChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        engine::LoadFormatModules();
    }
    //! Every byte of a decoding stream of `path`, with `gainDb` applied when given.
    QByteArray decode(const QString& path, DWORD flags, std::optional<double> gainDb, BASS_CHANNELINFO* info = nullptr)
    {
        const HSTREAM stream = engine::OpenStream(false, path, 0, 0, BASS_STREAM_DECODE | flags);
        EXPECT_NE(stream, 0u);
        if (gainDb) {
            EXPECT_TRUE(loudness::applyGainToDecodingStream(stream, *gainDb, -1.0));
        }
        if (info)
            BASS_ChannelGetInfo(stream, info);
        QByteArray all;
        std::vector<char> buffer(20000);
        for (;;) {
            const DWORD got = BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size()));
            if (got == DWORD(-1))
                break;
            all.append(buffer.data(), qsizetype(got));
        }
        EXPECT_EQ(BASS_ChannelGetPosition(stream, BASS_POS_BYTE), QWORD(all.size()));
        EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
        BASS_StreamFree(stream);
        return all;
    }
    QTemporaryDir dir;
};

TEST_F(GainChannelTest, AStreamDeliversAsManyBytesWithTheGainAndNoPeakAboveTheCeiling)
{
    const QString path = dir.filePath(QStringLiteral("loud.flac"));
    ASSERT_TRUE(testsupport::makeFromLavfi(
        path, QStringLiteral("aevalsrc=0.99*sin(2*PI*1000*t)|0.99*sin(2*PI*3001*t):s=44100:d=4")));
    for (const DWORD flags : {DWORD(0), BASS_SAMPLE_FLOAT, BASS_STREAM_DOWNMIX}) {
        SCOPED_TRACE(flags);
        const QByteArray plain = decode(path, flags, std::nullopt);
        BASS_CHANNELINFO info;
        const QByteArray louder = decode(path, flags, 10.0, &info);
        EXPECT_EQ(louder.size(), plain.size());

        loudness::LoudnessMeter before(info), after(info);
        before.add(plain.constData(), std::size_t(plain.size()));
        after.add(louder.constData(), std::size_t(louder.size()));
        const double peakBefore = loudness::LoudnessAnalysis::decibels(before.analysis().truePeak);
        const double peakAfter = loudness::LoudnessAnalysis::decibels(after.analysis().truePeak);
        EXPECT_LE(peakAfter, -1.0);
        // A steady tone at full scale has no peaks to take off: the limiter
        // brings all of it down to the ceiling.
        EXPECT_NEAR(after.analysis().integrated(), before.analysis().integrated() + (peakAfter - peakBefore), 0.1);
        EXPECT_GT(peakAfter, -1.2);
    }
    // A quiet file gets the whole gain.
    const QString quiet = dir.filePath(QStringLiteral("quiet.wav"));
    ASSERT_TRUE(testsupport::makeFromLavfi(quiet, QStringLiteral("aevalsrc=0.05*sin(2*PI*1000*t):s=48000:d=3")));
    BASS_CHANNELINFO info;
    const QByteArray plain = decode(quiet, 0, std::nullopt, &info);
    const QByteArray louder = decode(quiet, 0, 6.0);
    loudness::LoudnessMeter before(info), after(info);
    before.add(plain.constData(), std::size_t(plain.size()));
    after.add(louder.constData(), std::size_t(louder.size()));
    EXPECT_NEAR(after.analysis().integrated() - before.analysis().integrated(), 6.0, 0.01);
}

TEST_F(GainChannelTest, RefusesAnUnknownHandleAndAGainThatIsNoNumber)
{
    EXPECT_FALSE(loudness::applyGainToDecodingStream(0x7fffffff, 3.0, -1.0));
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(path, 0.5, 44100, 2));
    const HSTREAM stream = engine::OpenStream(false, path, 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    EXPECT_FALSE(loudness::applyGainToDecodingStream(stream, std::nan(""), -1.0));
    BASS_StreamFree(stream);
}

} // namespace
