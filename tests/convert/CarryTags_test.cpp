#include "Mp3OggWmaTestSession.h"
#include "convert/CarryTags.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "tags/ReadMediaTags.h"

#include <QtEndian>

using options::FormatOptions;
using tags::TagFormat;

//! Field by field, so a failed comparison says which field differs. In the
//! tags' namespace, where the test framework looks for it.
namespace engine {
static void PrintTo(const MediaTags& tags, std::ostream* os)
{
    const char* names[] = {"title", "artist", "album",   "albumArtist", "track",     "disc",
                           "date",  "genre",  "comment", "composer",    "copyright", "rating"};
    int i = 0;
    for (const QString* field : tags.textFields())
        *os << names[i++] << "=\"" << field->toStdString() << "\" ";
    *os << "cover " << tags.cover.size() << " bytes " << tags.coverMime.toStdString();
}
} // namespace engine

namespace {

//! Text fields with letters beyond Latin-1, and a PNG cover.
engine::MediaTags richTags(const QByteArray& cover)
{
    engine::MediaTags tags;
    tags.title = QStringLiteral("Grüße aus 東京");
    tags.artist = QStringLiteral("Ærøskøbing Брасс");
    tags.album = QStringLiteral("Ünïcödé Ålbum");
    tags.albumArtist = QStringLiteral("Zoë & Chloé");
    tags.track = QStringLiteral("3/12");
    tags.disc = QStringLiteral("1/2");
    tags.date = QStringLiteral("2024");
    tags.genre = QStringLiteral("Jazz");
    tags.comment = QStringLiteral("Live – ein Kommentar");
    tags.composer = QStringLiteral("Antonín Dvořák");
    tags.cover = cover;
    tags.coverMime = QStringLiteral("image/png");
    return tags;
}

QString formatTag(const QJsonObject& tags, const QString& name)
{
    for (auto it = tags.begin(); it != tags.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    return {};
}

//! ffprobe's tags of the file's format and of its first stream, merged (Ogg
//! keeps its comments with the stream).
QJsonObject ffprobeTags(const QString& path)
{
    QByteArray out;
    testsupport::runProgram(QStringLiteral("ffprobe"),
                            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                             QStringLiteral("json"), QStringLiteral("-show_entries"),
                             QStringLiteral("format_tags:stream_tags"), path},
                            &out);
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    QJsonObject tags = root.value(QStringLiteral("format")).toObject().value(QStringLiteral("tags")).toObject();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (!streams.isEmpty()) {
        const QJsonObject streamTags = streams.first().toObject().value(QStringLiteral("tags")).toObject();
        for (auto it = streamTags.begin(); it != streamTags.end(); ++it)
            tags.insert(it.key(), it.value());
    }
    return tags;
}

class CarryTagsTest : public encodertest::EncoderSession {
protected:
    void SetUp() override
    {
        EncoderSession::SetUp();
        const QString png = path(QStringLiteral("cover.png"));
        ASSERT_TRUE(testsupport::makeFromLavfi(png, QStringLiteral("color=c=orange:s=24x16"),
                                               {QStringLiteral("-frames:v"), QStringLiteral("1")}));
        tags = richTags(testsupport::readFile(png));
        ASSERT_FALSE(tags.cover.isEmpty());
    }

    //! A one-second tone in `name`'s format, tagged with `tags`.
    QString taggedInput(const QString& name, TagFormat format)
    {
        const QString in = path(name);
        if (!testsupport::makeTone(in, 1.0, 44100, 2) || !tags::WriteFileTags(in, format, tags))
            return {};
        return in;
    }

    //! Converts with the encoder path of `format` (the option buttons chosen).
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
        default:
            convert::ConvertToMP3_OGG(session, in, out);
        }
    }

    engine::MediaTags tags;
};

} // namespace

TEST_F(CarryTagsTest, EveryInputCarriesItsTagsAndCoverIntoEveryOutput)
{
    struct Input {
        const char* name;
        TagFormat format;
    };
    const Input inputs[] = {{"in.flac", TagFormat::Flac}, {"in.mp3", TagFormat::Mp3}, {"in.ogg", TagFormat::Ogg}};
    struct Output {
        int format;
        const char* extension;
    };
    const Output outputs[] = {{FormatOptions::WAV, "wav"},
                              {FormatOptions::WMA, "wma"},
                              {FormatOptions::MP3, "mp3"},
                              {FormatOptions::OGG, "ogg"}};
    for (const Input& input : inputs) {
        const QString in = taggedInput(QString::fromLatin1(input.name), input.format);
        ASSERT_FALSE(in.isEmpty()) << input.name;
        ASSERT_EQ(tags::ReadMediaTags(in), tags) << input.name;
        for (const Output& output : outputs) {
            const QString out = path(
                QStringLiteral("%1-to.%2").arg(QString::fromLatin1(input.name), QString::fromLatin1(output.extension)));
            SCOPED_TRACE(out.toStdString());
            convertTo(output.format, in, out);
            expectComplete();
            // The engine reads the output back through FFmpeg, a reader of
            // its own; ffprobe shows the same tags to the user. FFmpeg reads
            // a WAV's INFO chunk in preference to its ID3 chunk, so it sees
            // only the fields INFO has (and the cover from the ID3 chunk).
            engine::MediaTags expected = tags;
            if (output.format == FormatOptions::WAV)
                expected.albumArtist = expected.disc = expected.composer = QString();
            EXPECT_EQ(tags::ReadMediaTags(out), expected);
            const QJsonObject shown = ffprobeTags(out);
            EXPECT_EQ(formatTag(shown, QStringLiteral("title")), tags.title);
            EXPECT_EQ(formatTag(shown, QStringLiteral("artist")), tags.artist);
            EXPECT_EQ(formatTag(shown, QStringLiteral("album")), tags.album);
        }
    }
}

TEST_F(CarryTagsTest, WriterTagsOpusAndMp4FilesAndRefusesAFileOfAnotherFormat)
{
    // The engine decodes no Opus input, so ffprobe reads that one back.
    const QString opus = taggedInput(QStringLiteral("t.opus"), TagFormat::Opus);
    ASSERT_FALSE(opus.isEmpty());
    const QJsonObject shown = ffprobeTags(opus);
    EXPECT_EQ(formatTag(shown, QStringLiteral("title")), tags.title);
    EXPECT_EQ(formatTag(shown, QStringLiteral("composer")), tags.composer);
    const QString m4a = taggedInput(QStringLiteral("t.m4a"), TagFormat::Mp4);
    ASSERT_FALSE(m4a.isEmpty());
    EXPECT_EQ(tags::ReadMediaTags(m4a), tags);

    const QString wav = path(QStringLiteral("plain.wav"));
    ASSERT_TRUE(testsupport::makeTone(wav, 0.5, 44100, 2));
    const QByteArray before = testsupport::readFile(wav);
    ASSERT_FALSE(before.isEmpty());
    EXPECT_FALSE(tags::WriteFileTags(wav, TagFormat::Mp4, tags));
    EXPECT_TRUE(tags::WriteFileTags(wav, TagFormat::Wav, engine::MediaTags())); // nothing to write
    EXPECT_EQ(testsupport::readFile(wav), before);
}

TEST_F(CarryTagsTest, FilledWmaBoxesOverrideTheInputFieldByField)
{
    const QString in = taggedInput(QStringLiteral("in.flac"), TagFormat::Flac);
    ASSERT_FALSE(in.isEmpty());
    options.chkWMAFileTags.setValue(true);
    options.txtWMATags(1).setText(QStringLiteral("Box Artist"));
    options.txtWMATags(4).setText(QStringLiteral("5 stars"));
    // A box holding just its placeholder word, and a blank one, write nothing.
    options.txtWMATags(7).setText(FormatOptions::tagPlaceholder(7));
    options.txtWMATags(0).setText(QStringLiteral("  "));

    engine::MediaTags expected = tags;
    expected.artist = QStringLiteral("Box Artist");
    expected.rating = QStringLiteral("5 stars");
    EXPECT_EQ(convert::outputTags(options, in, TagFormat::Wma), expected);
    // The boxes belong to WMA: other formats carry the input's tags unchanged.
    EXPECT_EQ(convert::outputTags(options, in, TagFormat::Mp3), tags);

    convertTo(FormatOptions::WMA, in, path(QStringLiteral("boxes.wma")));
    expectComplete();
    const QJsonObject shown = ffprobeTags(path(QStringLiteral("boxes.wma")));
    EXPECT_EQ(formatTag(shown, QStringLiteral("artist")), QStringLiteral("Box Artist"));
    EXPECT_EQ(formatTag(shown, QStringLiteral("title")), tags.title);
    EXPECT_EQ(formatTag(shown, QStringLiteral("rating")), QStringLiteral("5 stars"));

    // Without the input's tags only the filled boxes are written.
    options.chkCopyTags.setValue(false);
    engine::MediaTags boxesOnly;
    boxesOnly.artist = expected.artist;
    boxesOnly.rating = expected.rating;
    EXPECT_EQ(convert::outputTags(options, in, TagFormat::Wma), boxesOnly);
}

TEST_F(CarryTagsTest, OptionOffWritesNoTags)
{
    const QString in = taggedInput(QStringLiteral("in.mp3"), TagFormat::Mp3);
    ASSERT_FALSE(in.isEmpty());
    options.chkCopyTags.setValue(false);
    for (int format : {int(FormatOptions::WAV), int(FormatOptions::MP3), int(FormatOptions::OGG)}) {
        const QString out = path(QStringLiteral("off%1").arg(format)) + (format == FormatOptions::WAV   ? ".wav"
                                                                         : format == FormatOptions::MP3 ? ".mp3"
                                                                                                        : ".ogg");
        convertTo(format, in, out);
        expectComplete();
        EXPECT_TRUE(tags::ReadMediaTags(out).isEmpty()) << out.toStdString();
    }
}

TEST_F(CarryTagsTest, TaggedWavKeepsItsHeaderAndDecodesToTheSamePcm)
{
    const QString in = taggedInput(QStringLiteral("in.ogg"), TagFormat::Ogg);
    ASSERT_FALSE(in.isEmpty());
    const QString plain = path(QStringLiteral("plain.wav"));
    const QString tagged = path(QStringLiteral("tagged.wav"));
    options.chkReplayGain.setValue(false); // the input's tags alone
    options.chkCopyTags.setValue(false);
    convertTo(FormatOptions::WAV, in, plain);
    options.chkCopyTags.setValue(true);
    convertTo(FormatOptions::WAV, in, tagged);
    expectComplete();

    const QByteArray before = testsupport::readFile(plain);
    const QByteArray after = testsupport::readFile(tagged);
    // The 44-byte header and the audio stay where they were; only the RIFF
    // size grows by the chunks that follow the audio.
    ASSERT_GT(after.size(), before.size());
    EXPECT_EQ(after.mid(8, before.size() - 8), before.mid(8));
    const auto le32 = [](const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    EXPECT_EQ(le32(after, 4), quint32(after.size() - 8));
    EXPECT_TRUE(after.mid(before.size()).contains("LIST"));
    EXPECT_TRUE(after.mid(before.size()).contains("INFO"));
    EXPECT_TRUE(after.mid(before.size()).contains("id3 "));

    // An independent decoder plays both to identical samples.
    QByteArray soxPlain, soxTagged;
    const QStringList raw = {QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-")};
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("sox"), QStringList{plain} + raw, &soxPlain), 0);
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("sox"), QStringList{tagged} + raw, &soxTagged), 0);
    EXPECT_EQ(soxTagged, soxPlain);
    EXPECT_EQ(soxTagged, before.mid(44));
    EXPECT_EQ(testsupport::decodeWithFfmpeg(tagged), before.mid(44));
}

TEST_F(CarryTagsTest, LargeTagsInWmaKeepTheLengthEveryReaderSees)
{
    const QString wma = path(QStringLiteral("large.wma"));
    ASSERT_TRUE(testsupport::makeTone(wma, 5.015, 44100, 2));
    const double before = encodertest::probe(wma).duration;
    ASSERT_NEAR(before, 5.015, 0.05);
    engine::MediaTags large = tags;
    large.title = QString(100 * 1024, u'T');
    large.cover = QByteArray(300 * 1024, 'c');
    ASSERT_TRUE(tags::WriteFileTags(wma, TagFormat::Wma, large));
    // The header grew by far more than the audio's size: FFmpeg still reads
    // the header's length, as TagLib does, and the audio is the same.
    EXPECT_EQ(encodertest::probe(wma).duration, before);
    EXPECT_TRUE(tags::ReadMediaTags(wma).title.startsWith(QString(1000, u'T')));
}
