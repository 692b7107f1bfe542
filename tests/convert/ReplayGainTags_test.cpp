#include "Mp3OggWmaTestSession.h"
#include "ReplayGainReadBack.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "convert/RewriteTagFields.h"
#include "loudness/ReplayGainFields.h"
#include "support/ReferenceLoudness.h"
#include "tags/ReadMediaTags.h"
#include "tags/WriteTagFields.h"

#include <cmath>

using loudness::GainScope;
using loudness::LoudnessFigures;
using options::FormatOptions;
using replaygaintest::gainOf;
using replaygaintest::readField;
using tags::TagField;
using tags::TagFormat;

// In the field's namespace, where the test framework looks for it; static,
// since no other file prints one.
namespace tags {
static void PrintTo(const TagField& field, std::ostream* os)
{
    *os << field.name.toStdString() << "=" << field.value.toStdString();
}
} // namespace tags

namespace {

TEST(ReplayGainFields, AreNamedAndWrittenAsEachFormatKeepsThem)
{
    LoudnessFigures figures;
    figures.integrated = -12.34;
    figures.truePeak = 0.5;
    struct Case {
        TagFormat format;
        GainScope scope;
        QList<TagField> expected;
    };
    const QString gain = QStringLiteral("-5.66 dB");
    const QString peak = QStringLiteral("0.500000");
    const Case cases[] = {
        {TagFormat::Mp3,
         GainScope::Track,
         {{QStringLiteral("REPLAYGAIN_TRACK_GAIN"), gain}, {QStringLiteral("REPLAYGAIN_TRACK_PEAK"), peak}}},
        {TagFormat::Flac,
         GainScope::Album,
         {{QStringLiteral("REPLAYGAIN_ALBUM_GAIN"), gain}, {QStringLiteral("REPLAYGAIN_ALBUM_PEAK"), peak}}},
        {TagFormat::Mp4,
         GainScope::Track,
         {{QStringLiteral("replaygain_track_gain"), gain}, {QStringLiteral("replaygain_track_peak"), peak}}},
        {TagFormat::Wma,
         GainScope::Album,
         {{QStringLiteral("replaygain_album_gain"), gain}, {QStringLiteral("replaygain_album_peak"), peak}}},
        // Q7.8 towards -23 LUFS: 256 * (-23 + 12.34) = -2728.96.
        {TagFormat::Opus, GainScope::Track, {{QStringLiteral("R128_TRACK_GAIN"), QStringLiteral("-2729")}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplayGainFields(c.format, c.scope, figures), c.expected) << int(c.format);

    figures.integrated = -25.0; // a gain up: with its sign
    EXPECT_EQ(ReplayGainFields(TagFormat::Ogg, GainScope::Track, figures).front().value, QStringLiteral("+7.00 dB"));
    figures.integrated = -std::numeric_limits<double>::infinity(); // silence: nothing to say
    EXPECT_TRUE(ReplayGainFields(TagFormat::Wav, GainScope::Track, figures).isEmpty());
    EXPECT_EQ(loudness::r128Gain(200.0), 32767);
    EXPECT_EQ(loudness::r128Gain(-200.0), -32768);
}

class ReplayGainTagsTest : public encodertest::EncoderSession {
protected:
    void convertTo(int format, const QString& in, const QString& out)
    {
        options.optFileFormat(format).click();
        switch (format) {
        case FormatOptions::WAV:
            convert::ConvertToWAV(session, in, out);
            break;
        case FormatOptions::WMA:
            convert::ConvertToWMA(session, in, out);
            break;
        case FormatOptions::MP3:
        case FormatOptions::OGG:
            convert::ConvertToMP3_OGG(session, in, out);
            break;
        default:
            convert::ConvertToFLAC_OPUS_AAC(session, in, out);
        }
    }
};

TEST_F(ReplayGainTagsTest, EveryFormatCarriesTheTrackGainAndPeakOfItsOwnAudio)
{
    // A 1 kHz sine at -20 dBFS in both channels measures -20 LUFS: a gain of +2 dB.
    const QString in = path(QStringLiteral("in.flac"));
    ASSERT_TRUE(testsupport::makeFromLavfi(in, QStringLiteral("aevalsrc=0.1*sin(2*PI*1000*t):s=48000:d=6:c=stereo")));
    struct Output {
        int format;
        TagFormat tags;
        const char* extension;
        // dB between the tag (measured from what the encoder got) and the
        // file as a decoder plays it: the lossy encoders change the level a
        // little; lame plays about 0.45 dB quieter than it was given.
        double tolerance;
    };
    const Output outputs[] = {
        {FormatOptions::WAV, TagFormat::Wav, "wav", 0.01},   {FormatOptions::FLAC, TagFormat::Flac, "flac", 0.01},
        {FormatOptions::MP3, TagFormat::Mp3, "mp3", 0.5},    {FormatOptions::OGG, TagFormat::Ogg, "ogg", 0.1},
        {FormatOptions::WMA, TagFormat::Wma, "wma", 0.1},    {FormatOptions::AAC, TagFormat::Mp4, "m4a", 0.1},
        {FormatOptions::OPUS, TagFormat::Opus, "opus", 0.1},
    };
    for (const Output& output : outputs) {
        const QString out = path(QStringLiteral("out.%1").arg(QLatin1String(output.extension)));
        SCOPED_TRACE(out.toStdString());
        convertTo(output.format, in, out);
        expectComplete();
        const std::optional<filelist::MeasuredLoudness> shown = list->loudness(0);
        ASSERT_TRUE(shown);
        EXPECT_NEAR(shown->integrated, -20.0, 0.05);
        EXPECT_NEAR(shown->truePeak, -20.0, 0.1);

        // The reference measures the file as any player decodes it.
        const std::optional<testsupport::ReferenceLoudness> reference = testsupport::libebur128Loudness(out);
        ASSERT_TRUE(reference);
        if (output.tags == TagFormat::Opus) {
            const QString r128 = readField(out, output.tags, QStringLiteral("R128_TRACK_GAIN"));
            EXPECT_NEAR(r128.toInt() / 256.0, -23.0 - reference->integrated, output.tolerance);
            EXPECT_TRUE(readField(out, output.tags, QStringLiteral("REPLAYGAIN_TRACK_GAIN")).isEmpty());
            // The header's output gain stays 0: players add the tag's gain to it.
            const QByteArray head = testsupport::readFile(out).left(64);
            const qsizetype opusHead = head.indexOf("OpusHead");
            ASSERT_GE(opusHead, 0);
            EXPECT_EQ(head.mid(opusHead + 16, 2), QByteArray(2, '\0'));
            continue;
        }
        const bool lower = output.tags == TagFormat::Mp4 || output.tags == TagFormat::Wma;
        const auto name = [lower](const char* field) {
            const QString text = QString::fromLatin1(field);
            return lower ? text.toLower() : text;
        };
        const QString gain = readField(out, output.tags, name("REPLAYGAIN_TRACK_GAIN"));
        EXPECT_TRUE(gain.endsWith(QStringLiteral(" dB"))) << gain.toStdString();
        EXPECT_NEAR(gainOf(gain), -18.0 - shown->integrated, 0.005);
        EXPECT_NEAR(gainOf(gain), -18.0 - reference->integrated, output.tolerance);
        EXPECT_NEAR(readField(out, output.tags, name("REPLAYGAIN_TRACK_PEAK")).toDouble(), 0.1, 0.01);
        // No album fields: a row converted alone is no album.
        EXPECT_TRUE(readField(out, output.tags, name("REPLAYGAIN_ALBUM_GAIN")).isEmpty());
    }
}

TEST_F(ReplayGainTagsTest, TheFieldsJoinTheCopiedTagsAndTheOptionTurnsThemOff)
{
    const QString in = path(QStringLiteral("tagged.flac"));
    ASSERT_TRUE(testsupport::makeTone(in, 2.0, 44100, 2));
    engine::MediaTags tags;
    tags.title = QStringLiteral("Grüße");
    tags.artist = QStringLiteral("Zoë");
    ASSERT_TRUE(tags::WriteFileTags(in, TagFormat::Flac, tags));

    for (const auto& [format, tagFormat, name] : {std::tuple{int(FormatOptions::WAV), TagFormat::Wav, "a.wav"},
                                                  std::tuple{int(FormatOptions::MP3), TagFormat::Mp3, "a.mp3"}}) {
        const QString out = path(QString::fromLatin1(name));
        SCOPED_TRACE(name);
        convertTo(format, in, out);
        expectComplete();
        EXPECT_EQ(tags::ReadMediaTags(out).title, tags.title);
        EXPECT_EQ(tags::ReadMediaTags(out).artist, tags.artist);
        EXPECT_FALSE(readField(out, tagFormat, QStringLiteral("REPLAYGAIN_TRACK_GAIN")).isEmpty());
    }
    // A WAV keeps its INFO chunk beside the ID3 chunk, renamed "id3 ".
    const QByteArray wav = testsupport::readFile(path(QStringLiteral("a.wav")));
    EXPECT_TRUE(wav.contains("INFO"));
    EXPECT_TRUE(wav.contains("id3 "));
    EXPECT_FALSE(wav.contains("ID3 "));

    options.chkReplayGain.setValue(false);
    convertTo(FormatOptions::OGG, in, path(QStringLiteral("off.ogg")));
    expectComplete();
    EXPECT_TRUE(
        readField(path(QStringLiteral("off.ogg")), TagFormat::Ogg, QStringLiteral("REPLAYGAIN_TRACK_GAIN")).isEmpty());
    EXPECT_EQ(tags::ReadMediaTags(path(QStringLiteral("off.ogg"))).title, tags.title);
    EXPECT_TRUE(list->loudness(0)); // measured and shown all the same
}

TEST_F(ReplayGainTagsTest, RewritingAFinishedOutputReplacesItWholeOrLeavesItAsItWas)
{
    const QString out = path(QStringLiteral("done.mp3"));
    ASSERT_TRUE(testsupport::makeTone(path(QStringLiteral("in.flac")), 2.0, 44100, 2));
    convertTo(FormatOptions::MP3, path(QStringLiteral("in.flac")), out);
    expectComplete();
    const QList<TagField> album = {{QStringLiteral("REPLAYGAIN_ALBUM_GAIN"), QStringLiteral("-1.00 dB")}};
    QString why;
    ASSERT_TRUE(convert::RewriteTagFields(out, TagFormat::Mp3, album, &why)) << why.toStdString();
    EXPECT_EQ(readField(out, TagFormat::Mp3, QStringLiteral("REPLAYGAIN_ALBUM_GAIN")), QStringLiteral("-1.00 dB"));
    EXPECT_FALSE(readField(out, TagFormat::Mp3, QStringLiteral("REPLAYGAIN_TRACK_GAIN")).isEmpty());
    // No copy is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral(".tonemill-*")}, QDir::Files | QDir::Hidden).size(), 0);

    // A file that is not what its format says stays untouched.
    const QString wav = path(QStringLiteral("plain.wav"));
    ASSERT_TRUE(testsupport::makeTone(wav, 0.5, 44100, 2));
    const QByteArray before = testsupport::readFile(wav);
    EXPECT_FALSE(convert::RewriteTagFields(wav, TagFormat::Mp4, album, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(testsupport::readFile(wav), before);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral(".tonemill-*")}, QDir::Files | QDir::Hidden).size(), 0);
}

} // namespace
