#include "options/FormatOptions.h"
#include "settings/EncoderFlags.h"

#include <gtest/gtest.h>

using options::FormatOptions;
using settings::EncoderChoices;

namespace {

const QStringList kNames = {"wav", "wma", "mp3", "ogg", "flac", "opus", "m4a"};

EncoderChoices choices(const QStringList& flagsAndValues)
{
    EncoderChoices c;
    for (qsizetype i = 0; i + 1 < flagsAndValues.size(); i += 2)
        c.given.emplace_back(flagsAndValues.at(i), flagsAndValues.at(i + 1));
    return c;
}

} // namespace

TEST(EncoderFlags, EachFlagSetsTheOptionOfTheFormatsPage)
{
    const struct {
        int format;
        QStringList flags;
        QStringList assignments;
    } cases[] = {
        {FormatOptions::MP3, {"--bitrate", "192"}, {"optMP3CBR=True", "cmbMP3CBitrate=4"}},
        {FormatOptions::MP3, {"--mode", "abr", "--bitrate", "310"}, {"optMP3ABR=True", "cmbMP3ABitrate=0"}},
        {FormatOptions::MP3, {"--quality", "0"}, {"optMP3VBR=True", "SliderMP3VBR=9"}},
        {FormatOptions::MP3, {"--mode", "VBR", "--quality", "9"}, {"optMP3VBR=True", "SliderMP3VBR=0"}},
        {FormatOptions::MP3, {"--channels", "mono", "--sample-rate", "44100"}, {"cmbMP3StereoMode=0", "cmbMP3Freq=8"}},
        {FormatOptions::MP3, {"--sample-rate", "auto"}, {"cmbMP3Freq=0"}},
        {FormatOptions::MP3, {"--sample-rate", "11025"}, {"cmbMP3Freq=2"}},
        {FormatOptions::OGG, {"--bitrate", "256"}, {"optOGGCBR=True", "cmbOGGCBitrate=2"}},
        {FormatOptions::OGG, {"--quality", "-2"}, {"optOGGVBR=True", "sliderOGG=-2"}},
        // Variable bitrate takes a nominal bitrate beside its quality.
        {FormatOptions::OGG,
         {"--bitrate", "160", "--quality", "6"},
         {"optOGGVBR=True", "cmbOGGVBitrate=5", "sliderOGG=6"}},
        {FormatOptions::WMA, {"--quality", "80"}, {"sliderWMA=80"}},
        {FormatOptions::FLAC, {"--compression", "8"}, {"sliderFLACLevel=8"}},
        {FormatOptions::OPUS, {"--bitrate", "96"}, {"sliderOpusBitrate=96"}},
        {FormatOptions::AAC, {"--bitrate", "256"}, {"sliderAACBitrate=256"}},
        {FormatOptions::WAV, {}, {}},
    };
    const FormatOptions options;
    for (const auto& c : cases) {
        QString error;
        const std::optional<QStringList> got =
            settings::encoderAssignments(options, c.format, choices(c.flags), kNames, error);
        ASSERT_TRUE(got) << c.flags.join(u' ').toStdString() << ": " << error.toStdString();
        EXPECT_EQ(*got, c.assignments) << c.flags.join(u' ').toStdString();
    }
}

TEST(EncoderFlags, AFlagThatDoesNotApplySaysWhereItDoes)
{
    const struct {
        int format;
        QStringList flags;
        const char* error;
    } cases[] = {
        {FormatOptions::MP3, {"--bitrate", "330"}, "--bitrate mp3 cbr is one of 320, 288, 256"},
        {FormatOptions::MP3, {"--mode", "abr", "--bitrate", "320"}, "--bitrate mp3 abr is one of 310,"},
        {FormatOptions::MP3,
         {"--bitrate", "128", "--quality", "2"},
         "--bitrate and --quality do not go together for mp3"},
        {FormatOptions::MP3, {"--mode", "cbr", "--quality", "2"}, "--quality applies to mp3 with --mode vbr, not cbr"},
        {FormatOptions::MP3, {"--quality", "10"}, "--quality mp3 vbr is a whole number from 0 (best) to 9"},
        {FormatOptions::MP3, {"--sample-rate", "44.1"}, "auto, 8000, 11025"},
        {FormatOptions::MP3, {"--channels", "surround"}, "mono, stereo, joint, forced-joint, dual"},
        {FormatOptions::OGG, {"--mode", "abr"}, "--mode for ogg is one of cbr, vbr"},
        {FormatOptions::FLAC, {"--mode", "cbr"}, "--mode does not apply to flac"},
        {FormatOptions::FLAC,
         {"--bitrate", "128"},
         "--bitrate does not apply to flac (it applies to mp3, ogg, opus, m4a)"},
        {FormatOptions::WAV, {"--compression", "5"}, "--compression does not apply to wav (it applies to flac)"},
        {FormatOptions::OPUS, {"--bitrate", "512"}, "from 32 to 256"},
    };
    const FormatOptions options;
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(settings::encoderAssignments(options, c.format, choices(c.flags), kNames, error))
            << c.flags.join(u' ').toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
    }
}
