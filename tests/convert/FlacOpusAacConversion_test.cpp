#include "Mp3OggWmaTestSession.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"

#include <QFileInfo>

using encodertest::probe;
using options::FormatOptions;

namespace {

//! Sample frames ffmpeg decodes from `path`, at the file's own rate.
qint64 decodedFrames(const QString& path, int channels)
{
    return testsupport::decodeWithFfmpeg(path).size() / (2 * channels);
}

QByteArray decode32(const QString& path)
{
    return testsupport::decodeWithFfmpeg(path, {QStringLiteral("-f"), QStringLiteral("s32le")});
}

class FlacOpusAacConversion : public encodertest::EncoderSession {
protected:
    //! Converts `in` to `format`, into a file named `name`; true when the row
    //! reads "Complete".
    bool convert(FormatOptions::Format format, const QString& in, const QString& name)
    {
        options.optFileFormat(format).click();
        convert::ConvertToFLAC_OPUS_AAC(session, in, path(name));
        return status() == QStringLiteral("Complete");
    }
};

struct Shape {
    FormatOptions::Format format;
    const char* extension;
    const char* codec;
    bool resampledTo48k;
};

void PrintTo(const Shape& shape, std::ostream* out)
{
    *out << shape.codec;
}

class EveryFormat : public FlacOpusAacConversion, public ::testing::WithParamInterface<Shape> {};

} // namespace

TEST_P(EveryFormat, DecodesBackWithTheLengthRateAndChannelsOfTheInput)
{
    const Shape shape = GetParam();
    struct Input {
        const char* name;
        int rate;
        int channels;
    };
    for (const Input input :
         {Input{"stereo.wav", 44100, 2}, Input{"mono.flac", 22050, 1}, Input{"surround.wav", 48000, 6}}) {
        const QString in = path(QLatin1String(input.name));
        ASSERT_TRUE(input.channels == 6 ? encodertest::makeDistinctTone(in, 2.0, input.rate, QStringLiteral("5.1"), 6)
                                        : testsupport::makeTone(in, 2.0, input.rate, input.channels));
        const QString out = QStringLiteral("%1.%2").arg(QLatin1String(input.name), QLatin1String(shape.extension));
        ASSERT_TRUE(convert(shape.format, in, out)) << input.name;
        expectComplete();
        const auto p = probe(path(out));
        const int rate = shape.resampledTo48k ? 48000 : input.rate;
        EXPECT_EQ(p.codec, QLatin1String(shape.codec));
        EXPECT_EQ(p.rate, rate) << input.name;
        EXPECT_EQ(p.channels, input.channels) << input.name;
        const qint64 frames = decodedFrames(path(out), input.channels);
        if (shape.format == FormatOptions::AAC) {
            // MP4 declares the exact length; decoding gives whole frames of
            // 1024 samples (the padding of the last one is not trimmed).
            EXPECT_DOUBLE_EQ(p.duration, 2.0) << input.name;
            EXPECT_GE(frames, 2 * rate) << input.name;
            EXPECT_LT(frames, 2 * rate + 1024) << input.name;
        } else {
            // Encoder delay and padding are trimmed on decoding: the length is exact.
            EXPECT_EQ(frames, 2 * rate) << input.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat,
                         ::testing::Values(Shape{FormatOptions::FLAC, "flac", "flac", false},
                                           Shape{FormatOptions::OPUS, "opus", "opus", true},
                                           Shape{FormatOptions::AAC, "m4a", "aac", false}),
                         [](const auto& shape) { return std::string(shape.param.codec); });

TEST_F(FlacOpusAacConversion, FlacKeepsThePcmOf16And24BitInputsExactly)
{
    struct Case {
        const char* name;
        const char* codec;
        int bits;
    };
    for (const Case c : {Case{"s16.wav", "pcm_s16le", 16}, Case{"s24.wav", "pcm_s24le", 24},
                         Case{"s24.flac", "flac", 24}, Case{"s32.wav", "pcm_s32le", 24}}) {
        const QString in = path(QLatin1String(c.name));
        QStringList extra{QStringLiteral("-c:a"), QLatin1String(c.codec)};
        if (c.bits == 24 && QLatin1String(c.codec) == QLatin1String("flac"))
            extra << QStringLiteral("-sample_fmt") << QStringLiteral("s32");
        // A tone with noise in the low bits, so truncation to 16 bits would show.
        ASSERT_TRUE(testsupport::makeFromLavfi(in,
                                               QStringLiteral("aevalsrc=0.5*sin(440*2*PI*t)+0.001*random(0)|0.4*sin("
                                                              "550*2*PI*t)-0.001*random(1):s=44100:d=1.5"),
                                               extra));
        const QString out = QLatin1String(c.name) + QStringLiteral(".flac");
        ASSERT_TRUE(convert(FormatOptions::FLAC, in, out)) << c.name;
        EXPECT_EQ(probe(path(out)).bitsPerRawSample, c.bits) << c.name;
        const QByteArray original = decode32(in);
        ASSERT_FALSE(original.isEmpty());
        if (QLatin1String(c.name) == QLatin1String("s32.wav")) {
            // 32-bit samples keep their top 24 bits.
            EXPECT_EQ(decode32(path(out)).size(), original.size());
            continue;
        }
        EXPECT_TRUE(decode32(path(out)) == original) << c.name;
    }
}

TEST_F(FlacOpusAacConversion, OptionValuesReachTheEncoder)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(encodertest::makeDistinctTone(in, 4.0, 44100, QStringLiteral("stereo"), 2));

    // FLAC: a higher level never makes a bigger file, and 0 (no prediction
    // search) is clearly bigger than 8 on a tone.
    options.sliderFLACLevel.setValue(0);
    ASSERT_TRUE(convert(FormatOptions::FLAC, in, QStringLiteral("fast.flac")));
    options.sliderFLACLevel.setValue(8);
    ASSERT_TRUE(convert(FormatOptions::FLAC, in, QStringLiteral("best.flac")));
    EXPECT_LT(QFileInfo(path(QStringLiteral("best.flac"))).size(),
              QFileInfo(path(QStringLiteral("fast.flac"))).size() * 9 / 10);

    // Noise needs every bit the encoders are given, so their rates show.
    const QString noisy = path(QStringLiteral("noise.wav"));
    ASSERT_TRUE(testsupport::makeFromLavfi(noisy,
                                           QStringLiteral("anoisesrc=colour=white:amplitude=0.3:duration=4:r=44100"),
                                           {QStringLiteral("-ac"), QStringLiteral("2")}));

    // AAC: the stream's bit rate is the slider's (at 320 Kbps the encoder
    // spends what it needs, about 225 on this noise, as ffmpeg's does too).
    QList<double> aacRates;
    for (int kbps : {64, 192, 320}) {
        options.sliderAACBitrate.setValue(kbps);
        const QString out = QStringLiteral("b%1.m4a").arg(kbps);
        ASSERT_TRUE(convert(FormatOptions::AAC, noisy, out));
        aacRates << double(probe(path(out)).bitRate);
    }
    EXPECT_NEAR(aacRates[0], 64000, 64000 * 0.15);
    EXPECT_NEAR(aacRates[1], 192000, 192000 * 0.15);
    EXPECT_GT(aacRates[2], aacRates[1] * 1.1);

    // Opus: the file's size follows the bitrate (Ogg keeps no nominal rate),
    // and speech tuning encodes as well.
    for (int kbps : {32, 256}) {
        options.sliderOpusBitrate.setValue(kbps);
        const QString out = QStringLiteral("b%1.opus").arg(kbps);
        ASSERT_TRUE(convert(FormatOptions::OPUS, noisy, out));
        const double bitsPerSecond = QFileInfo(path(out)).size() * 8 / 4.0;
        EXPECT_NEAR(bitsPerSecond, kbps * 1000.0, kbps * 1000.0 * 0.3) << kbps;
    }
    options.optOpusVoIP.click();
    ASSERT_TRUE(convert(FormatOptions::OPUS, in, QStringLiteral("speech.opus")));
    EXPECT_EQ(probe(path(QStringLiteral("speech.opus"))).rate, 48000);
}

TEST_F(FlacOpusAacConversion, FailuresEndInErrorWithoutOverwritingAndStopKeepsAShorterFile)
{
    const QString bad = path(QStringLiteral("bad.wav"));
    ASSERT_TRUE(testsupport::writeFile(bad, QByteArray(4000, 'x')));
    EXPECT_FALSE(convert(FormatOptions::FLAC, bad, QStringLiteral("bad.flac")));
    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("bad.flac"))));

    // A file that appeared under the output name is left alone: the output
    // takes the next free name.
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 20.0, 44100, 2));
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("taken.m4a")), "keep"));
    EXPECT_TRUE(convert(FormatOptions::AAC, in, QStringLiteral("taken.m4a")));
    EXPECT_EQ(status(), QStringLiteral("Complete"));
    EXPECT_EQ(QFileInfo(path(QStringLiteral("taken.m4a"))).size(), 4);

    // Stop during the conversion: "Cancelled", and the file, kept under a
    // name that says so, ends where it stopped.
    desktop.onProcessEvents = [this] { state.bCancelConversion = true; };
    EXPECT_FALSE(convert(FormatOptions::OPUS, in, QStringLiteral("stopped.opus")));
    EXPECT_EQ(status(), QStringLiteral("Cancelled"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("stopped.opus"))));
    const auto p = probe(session.outputMade);
    EXPECT_GT(p.duration, 0.0);
    EXPECT_LT(p.duration, 10.0);
}
