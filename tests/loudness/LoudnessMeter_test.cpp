#include "engine/AudioEngine.h"
#include "loudness/LoudnessMeter.h"
#include "support/Fixtures.h"
#include "support/ReferenceLoudness.h"
#include "support/SuiteMedia.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using loudness::LoudnessAnalysis;
using loudness::LoudnessMeter;

namespace {

//! The meter over a file as the engine decodes it for a conversion.
std::optional<LoudnessAnalysis> measureFile(const QString& path, DWORD flags = 0)
{
    const HSTREAM stream = engine::OpenStream(false, path, 0, 0, BASS_STREAM_DECODE | flags);
    if (stream == 0)
        return std::nullopt;
    BASS_CHANNELINFO info;
    BASS_ChannelGetInfo(stream, &info);
    LoudnessMeter meter(info);
    std::vector<char> buffer(20000);
    for (;;) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), DWORD(buffer.size()));
        if (got == DWORD(-1))
            break;
        meter.add(buffer.data(), got);
    }
    BASS_StreamFree(stream);
    return meter.analysis();
}

//! A 1 kHz sine at `dbfs` for `seconds`, as sox makes it.
bool soxSine(const QString& path, double seconds, double dbfs, int channels = 2)
{
    return testsupport::runProgram(QStringLiteral("sox"),
                                   {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("48000"),
                                    QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"),
                                    QString::number(channels), path, QStringLiteral("synth"), QString::number(seconds),
                                    QStringLiteral("sine"), QStringLiteral("1000"), QStringLiteral("vol"),
                                    QStringLiteral("%1dB").arg(dbfs)}) == 0;
}

//! Joins files end to end (sox), or side by side as channels with `merge`.
bool soxJoin(const QStringList& parts, const QString& path, bool merge = false)
{
    return testsupport::runProgram(QStringLiteral("sox"), (merge ? QStringList{QStringLiteral("-M")} : QStringList()) +
                                                              parts + QStringList{path}) == 0;
}

class LoudnessMeterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_media.open());
        engine::LoadFormatModules();
    }
    static void TearDownTestSuite() { s_media.close(); }

    //! `parts` of 1 kHz sine ({seconds, dBFS}) one after the other.
    QString sineSequence(const QString& name, const std::vector<std::pair<double, double>>& parts)
    {
        QStringList files;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            files << s_media.filePath(QStringLiteral("%1-%2.wav").arg(name).arg(i));
            if (!soxSine(files.back(), parts[i].first, parts[i].second))
                return {};
        }
        const QString path = s_media.filePath(name + QStringLiteral(".wav"));
        return files.size() == 1 ? files.front() : soxJoin(files, path) ? path : QString();
    }

    static inline testsupport::SuiteMedia s_media;
};

TEST_F(LoudnessMeterTest, EbuTech3341MinimumRequirementsMeasureWithinATenthOfALoudnessUnit)
{
    // The test signals of EBU Tech 3341, cases 1 to 5 (stereo 1 kHz sines).
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> parts; // seconds, dBFS
        double expected;                              // LUFS
    };
    const Case cases[] = {
        {"case1", {{20, -23}}, -23.0},
        {"case2", {{20, -33}}, -33.0},
        {"case3", {{10, -36}, {60, -23}, {10, -36}}, -23.0},
        {"case4", {{10, -72}, {10, -36}, {60, -23}, {10, -36}, {10, -72}}, -23.0},
        {"case5", {{20, -26}, {20.1, -20}, {20, -26}}, -23.0},
        {"quiet", {{20, -65}}, -65.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = sineSequence(QString::fromLatin1(c.name), c.parts);
        ASSERT_FALSE(file.isEmpty());
        const std::optional<LoudnessAnalysis> measured = measureFile(file);
        ASSERT_TRUE(measured);
        EXPECT_NEAR(measured->integrated(), c.expected, 0.1);
    }

    // Case 6: five channels, L and R at -28, C at -24, Ls and Rs at -30 dBFS.
    QStringList channels;
    const double levels[] = {-28, -28, -24, -30, -30};
    for (int c = 0; c < 5; ++c) {
        channels << s_media.filePath(QStringLiteral("case6-%1.wav").arg(c));
        ASSERT_TRUE(soxSine(channels.back(), 20, levels[c], 1));
    }
    const QString five = s_media.filePath(QStringLiteral("case6.wav"));
    ASSERT_TRUE(soxJoin(channels, five, true));
    const std::optional<LoudnessAnalysis> measured = measureFile(five);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(measured->integrated(), -23.0, 0.1);
}

TEST_F(LoudnessMeterTest, TruePeakFindsThePeakBetweenTheSamples)
{
    // A 12 kHz sine at 48 kHz whose samples fall 45 degrees beside its
    // peaks: the samples stay 3 dB below the true peak of -6 dBTP (the
    // true-peak cases of EBU Tech 3341 allow +0.2 / -0.4 dB).
    const QString path = s_media.filePath(QStringLiteral("tp.wav"));
    ASSERT_TRUE(
        testsupport::makeFromLavfi(path, QStringLiteral("aevalsrc=0.5012*sin(2*PI*12000*t+PI/4):s=48000:d=5:c=stereo"),
                                   {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}));
    const std::optional<LoudnessAnalysis> measured = measureFile(path);
    ASSERT_TRUE(measured);
    EXPECT_NEAR(LoudnessAnalysis::decibels(measured->truePeak), -6.0, 0.2);
    EXPECT_NEAR(LoudnessAnalysis::decibels(measured->samplePeak), -9.0, 0.1);
}

//! Test audio whose loudness, peaks and gating all matter: a tone and noise
//! under a slow swell, with a quiet stretch the relative gate drops.
std::vector<float> testSignal(int rate, int channels, double seconds, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.15);
    const std::size_t frames = std::size_t(rate * seconds);
    std::vector<float> samples(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double t = double(i) / rate;
            const double swell = 0.55 + 0.45 * std::sin(2 * M_PI * 0.3 * t + c);
            double value = swell * (0.5 * std::sin(2 * M_PI * (330.0 + 110 * c) * t) + noise(random));
            if (i > frames / 3 && i < frames / 2)
                value *= 0.02;
            samples[i * std::size_t(channels) + std::size_t(c)] = float(std::clamp(value, -1.0, 1.0));
        }
    return samples;
}

//! `samples` in the delivered format `flags` names, as a channel gives them.
QByteArray inFormat(const std::vector<float>& samples, DWORD flags)
{
    QByteArray bytes;
    for (const float value : samples) {
        if (flags & BASS_SAMPLE_8BITS) {
            bytes.append(char(std::lround(value * 127.0f) + 128));
        } else if (flags & BASS_SAMPLE_FLOAT) {
            bytes.append(reinterpret_cast<const char*>(&value), 4);
        } else {
            const auto s16 = static_cast<std::int16_t>(std::lround(value * 32767.0f));
            bytes.append(reinterpret_cast<const char*>(&s16), 2);
        }
    }
    return bytes;
}

//! The samples the delivered bytes stand for, for the reference.
std::vector<float> asFloats(const QByteArray& bytes, DWORD flags)
{
    std::vector<float> samples;
    if (flags & BASS_SAMPLE_8BITS) {
        for (const char byte : bytes)
            samples.push_back((float(static_cast<unsigned char>(byte)) - 128.0f) / 128.0f);
    } else if (flags & BASS_SAMPLE_FLOAT) {
        samples.resize(std::size_t(bytes.size()) / 4);
        std::memcpy(samples.data(), bytes.constData(), samples.size() * 4);
    } else {
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            std::int16_t value;
            std::memcpy(&value, bytes.constData() + i, 2);
            samples.push_back(float(value) / 32768.0f);
        }
    }
    return samples;
}

TEST_F(LoudnessMeterTest, AgreesWithLibebur128OnEveryRateChannelCountAndSampleFormat)
{
    struct Case {
        int rate;
        int channels;
        DWORD flags;
    };
    const Case cases[] = {
        {44100, 2, 0}, {48000, 2, BASS_SAMPLE_FLOAT}, {22050, 1, 0},  {8000, 1, BASS_SAMPLE_8BITS},
        {48000, 6, 0}, {96000, 2, BASS_SAMPLE_FLOAT}, {192000, 2, 0}, {44100, 8, BASS_SAMPLE_FLOAT},
        {32000, 5, 0}, {11025, 2, BASS_SAMPLE_8BITS},
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, flags " << c.flags);
        const QByteArray bytes = inFormat(testSignal(c.rate, c.channels, 6.0, seed++), c.flags);
        BASS_CHANNELINFO info;
        info.freq = DWORD(c.rate);
        info.chans = DWORD(c.channels);
        info.flags = c.flags;
        LoudnessMeter meter(info);
        // Uneven pieces: frames split between two calls are joined.
        for (qsizetype at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece * 3 % 40009 + 7)
            meter.add(bytes.constData() + at, std::size_t(std::min(piece, bytes.size() - at)));

        const testsupport::ReferenceLoudness reference =
            testsupport::libebur128Loudness(asFloats(bytes, c.flags), unsigned(c.channels), unsigned(c.rate));
        const LoudnessAnalysis& measured = meter.analysis();
        EXPECT_NEAR(measured.integrated(), reference.integrated, 0.001);
        EXPECT_NEAR(measured.samplePeak, reference.samplePeak, 1e-6);
        EXPECT_NEAR(measured.truePeak, reference.truePeak, 1e-4);
    }
}

TEST_F(LoudnessMeterTest, PiecesGatedTogetherMeasureAsLibebur128MeasuresAnAlbum)
{
    std::vector<LoudnessAnalysis> tracks;
    std::vector<ebur128_state*> states;
    const double gains[] = {1.0, 0.25, 0.6};
    for (int t = 0; t < 3; ++t) {
        std::vector<float> samples = testSignal(44100, 2, 4.0 + t, unsigned(10 + t));
        for (float& value : samples)
            value *= float(gains[t]);
        BASS_CHANNELINFO info;
        info.freq = 44100;
        info.chans = 2;
        info.flags = BASS_SAMPLE_FLOAT;
        LoudnessMeter meter(info);
        meter.add(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(float));
        tracks.push_back(meter.analysis());
        states.push_back(ebur128_init(2, 44100, EBUR128_MODE_I));
        ebur128_add_frames_float(states.back(), samples.data(), samples.size() / 2);
    }
    double album = 0;
    ebur128_loudness_global_multiple(states.data(), states.size(), &album);
    for (ebur128_state*& state : states)
        ebur128_destroy(&state);
    const std::vector<const LoudnessAnalysis*> parts = {&tracks[0], &tracks[1], &tracks[2]};
    EXPECT_NEAR(LoudnessAnalysis::integrated(parts), album, 0.001);
    // The album lies between its loudest and its quietest track.
    EXPECT_LT(LoudnessAnalysis::integrated(parts), tracks[0].integrated());
    EXPECT_GT(LoudnessAnalysis::integrated(parts), tracks[1].integrated());
}

TEST_F(LoudnessMeterTest, SilenceAndAudioShorterThanOneBlockHaveNoLoudness)
{
    BASS_CHANNELINFO info;
    info.freq = 48000;
    info.chans = 2;
    info.flags = 0;
    LoudnessMeter silent(info);
    const QByteArray zeros(48000 * 4 * 3, '\0');
    silent.add(zeros.constData(), std::size_t(zeros.size()));
    EXPECT_TRUE(std::isinf(silent.analysis().integrated()));
    EXPECT_EQ(silent.analysis().truePeak, 0.0);

    LoudnessMeter brief(info);
    const QByteArray loud = inFormat(testSignal(48000, 2, 0.35, 5), 0);
    brief.add(loud.constData(), std::size_t(loud.size()));
    EXPECT_TRUE(std::isinf(brief.analysis().integrated()));
    EXPECT_GT(brief.analysis().samplePeak, 0.1);

    info.chans = 0;
    EXPECT_FALSE(LoudnessMeter(info).usable());
}

TEST_F(LoudnessMeterTest, RealRecordingsMeasureAsFfmpegAndLibebur128MeasureThem)
{
    const QDir sounds(QStringLiteral("/usr/share/sounds/freedesktop/stereo"));
    const QFileInfoList files = sounds.entryInfoList({QStringLiteral("*.oga")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        GTEST_SKIP() << "sound-theme-freedesktop is not installed (scripts/setup.sh installs it)";
    int compared = 0;
    for (const QFileInfo& file : files) {
        SCOPED_TRACE(file.fileName().toStdString());
        const std::optional<LoudnessAnalysis> measured = measureFile(file.filePath(), BASS_SAMPLE_FLOAT);
        const std::optional<testsupport::DecodedFile> decoded = testsupport::decodeToFloat(file.filePath());
        ASSERT_TRUE(measured && decoded);
        const testsupport::ReferenceLoudness reference =
            testsupport::libebur128Loudness(decoded->samples, decoded->channels, decoded->rate);
        if (std::isinf(reference.integrated)) {
            EXPECT_TRUE(std::isinf(measured->integrated())); // shorter than a gating block
            continue;
        }
        EXPECT_NEAR(measured->integrated(), reference.integrated, 0.01);
        EXPECT_NEAR(LoudnessAnalysis::decibels(measured->truePeak), LoudnessAnalysis::decibels(reference.truePeak),
                    0.01);
        const std::optional<double> ffmpeg = testsupport::ffmpegIntegrated(file.filePath(), decoded->channels == 1);
        ASSERT_TRUE(ffmpeg);
        EXPECT_NEAR(measured->integrated(), *ffmpeg, 0.1);
        ++compared;
    }
    EXPECT_GE(compared, 15);
}

} // namespace
