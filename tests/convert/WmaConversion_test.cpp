#include "Mp3OggWmaTestSession.h"
#include "convert/ConvertToWMA.h"
#include "filelist/RowWords.h"

#include <QFileInfo>

using encodertest::probe;
using options::FormatOptions;

namespace {

// wmav2 works in frames of 2048 samples and completes the last with silence;
// the length the file states also counts the frame of silence before the
// audio, which decoders drop.
double wmaSlack(int rate)
{
    return 3 * 2048.0 / rate;
}

//! A tag as ffprobe shows it, whatever the case of its name.
QString tag(const QJsonObject& tags, const QString& name)
{
    for (auto it = tags.begin(); it != tags.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    return QStringLiteral("<missing>");
}

class WmaConversion : public encodertest::EncoderSession {
protected:
    void SetUp() override
    {
        EncoderSession::SetUp();
        engine::LoadFormatModules();
        options.optFileFormat(FormatOptions::WMA).click();
    }
    void fillTags(const QStringList& texts)
    {
        for (int i = 0; i < FormatOptions::kTagCount; ++i)
            options.txtWMATags(i).setText(texts.value(i));
    }
};

} // namespace

TEST_F(WmaConversion, QualityChoosesTheRateAndTheFileDecodesBack)
{
    const QString in = path(QStringLiteral("tone.flac"));
    ASSERT_TRUE(testsupport::makeTone(in, 3.0, 44100, 2));
    options.sliderWMA.setValue(100);
    convert::ConvertToWMA(session, in, path(QStringLiteral("best.wma")));
    expectComplete();
    EXPECT_GT(desktop.eventYields, 2);
    const DWORD highest = session.cmbWMAEncodingBitrate.ItemData(0);
    EXPECT_EQ(session.cmbWMAEncodingBitrate.ListIndex(), 0);
    auto p = probe(path(QStringLiteral("best.wma")));
    EXPECT_EQ(p.codec, QStringLiteral("wmav2"));
    EXPECT_EQ(p.rate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.bitRate, qint64(highest));
    EXPECT_NEAR(p.duration, 3.0, wmaSlack(44100));

    options.sliderWMA.setValue(0);
    convert::ConvertToWMA(session, in, path(QStringLiteral("least.wma")));
    expectComplete();
    const int last = session.cmbWMAEncodingBitrate.ListCount() - 1;
    EXPECT_EQ(session.cmbWMAEncodingBitrate.ListIndex(), last);
    p = probe(path(QStringLiteral("least.wma")));
    EXPECT_EQ(p.bitRate, qint64(session.cmbWMAEncodingBitrate.ItemData(last)));
}

TEST_F(WmaConversion, MonoKeepsOneChannelAndSurroundIsMixedDown)
{
    const QString mono = path(QStringLiteral("mono.wav"));
    ASSERT_TRUE(testsupport::makeTone(mono, 2.0, 22050, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_u8")}));
    convert::ConvertToWMA(session, mono, path(QStringLiteral("mono.wma")));
    expectComplete();
    EXPECT_EQ(session.channelInfo.chans, 1u);
    EXPECT_EQ(session.cmbWMAEncodingBitrate.ItemData(0),
              BASS_WMA_EncodeGetRates(22050, 1, BASS_WMA_ENCODE_STANDARD)[0]);
    auto p = probe(path(QStringLiteral("mono.wma")));
    EXPECT_EQ(p.channels, 1);
    EXPECT_EQ(p.rate, 22050);
    EXPECT_NEAR(p.duration, 2.0, wmaSlack(22050));
    // 8-bit input reaches the encoder as 16-bit: the tone is still a tone.
    const QByteArray decoded = testsupport::decodeWithFfmpeg(path(QStringLiteral("mono.wma")));
    const auto* s = reinterpret_cast<const qint16*>(decoded.constData());
    int peak = 0;
    for (qsizetype i = 0; i < decoded.size() / 2; ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    EXPECT_GT(peak, 4000);

    const QString film = path(QStringLiteral("film.mkv"));
    ASSERT_TRUE(encodertest::makeDistinctTone(film, 2.0, 48000, QStringLiteral("5.1"), 6));
    convert::ConvertToWMA(session, film, path(QStringLiteral("film.wma")));
    expectComplete();
    p = probe(path(QStringLiteral("film.wma")));
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.duration, 2.0, wmaSlack(48000));
}

TEST_F(WmaConversion, TagsReadBackAsTheSameFields)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    options.chkWMAFileTags.setValue(true);
    const QString title = QStringLiteral("Tïtle \"q\" $(touch pwned) `id` -x ノート");
    fillTags({title, QStringLiteral("Artist A"), QStringLiteral("Album B"), QStringLiteral("Desc C"), QString(),
              QStringLiteral("(c) D"), QStringLiteral("Genre E"), QStringLiteral("2024")});
    convert::ConvertToWMA(session, in, path(QStringLiteral("all.wma")));
    expectComplete();
    const QJsonObject tags = probe(path(QStringLiteral("all.wma"))).tags;
    EXPECT_EQ(tag(tags, QStringLiteral("title")), title);
    EXPECT_EQ(tag(tags, QStringLiteral("artist")), QStringLiteral("Artist A"));
    EXPECT_EQ(tag(tags, QStringLiteral("album")), QStringLiteral("Album B"));
    EXPECT_EQ(tag(tags, QStringLiteral("comment")), QStringLiteral("Desc C"));
    EXPECT_EQ(tag(tags, QStringLiteral("copyright")), QStringLiteral("(c) D"));
    EXPECT_EQ(tag(tags, QStringLiteral("genre")), QStringLiteral("Genre E"));
    EXPECT_EQ(tag(tags, QStringLiteral("WM/Year")), QStringLiteral("2024"));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned")));

    // Only "Title" and "Year" filled: exactly those two (and no loudness).
    options.chkReplayGain.setValue(false);
    fillTags({QStringLiteral("Only"), {}, {}, {}, {}, {}, {}, QStringLiteral("1999")});
    convert::ConvertToWMA(session, in, path(QStringLiteral("two.wma")));
    expectComplete();
    QJsonObject two = probe(path(QStringLiteral("two.wma"))).tags;
    two.remove(QStringLiteral("encoder")); // written by the muxer itself
    EXPECT_EQ(tag(two, QStringLiteral("title")), QStringLiteral("Only"));
    EXPECT_EQ(tag(two, QStringLiteral("WM/Year")), QStringLiteral("1999"));
    EXPECT_EQ(two.size(), 2) << QJsonDocument(two).toJson().toStdString();

    // Box not ticked: no tag at all.
    options.chkWMAFileTags.setValue(false);
    convert::ConvertToWMA(session, in, path(QStringLiteral("none.wma")));
    expectComplete();
    QJsonObject none = probe(path(QStringLiteral("none.wma"))).tags;
    none.remove(QStringLiteral("encoder"));
    EXPECT_TRUE(none.isEmpty()) << QJsonDocument(none).toJson().toStdString();
}

TEST_F(WmaConversion, StopDuringTheSecondChunkKeepsAShorterFile)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 5.0, 44100, 2));
    desktop.onProcessEvents = [this] {
        if (desktop.eventYields == 3) // the first yield of the second chunk
            state.bCancelConversion = true;
    };
    convert::ConvertToWMA(session, in, path(QStringLiteral("cut.wma")));
    EXPECT_EQ(status(), QStringLiteral("Cancelled"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    EXPECT_EQ(desktop.eventYields, 4);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("cut.wma"))));
    const auto p = probe(session.outputMade);
    EXPECT_EQ(p.channels, 2);
    EXPECT_LT(p.duration, 0.5);
    EXPECT_EQ(session.conversionStream, 0u);
}

TEST_F(WmaConversion, InputEndingOnAChunkBoundaryCompletes)
{
    // 50000 stereo 16-bit frames: exactly ten chunks of 20000 bytes.
    const QString in = path(QStringLiteral("exact.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 50000 / 44100.0 + 0.5, 44100, 2,
                                      {QStringLiteral("-af"), QStringLiteral("atrim=end_sample=50000")}));
    QStringList progress;
    desktop.onProcessEvents = [&] { progress << status(); };
    convert::ConvertToWMA(session, in, path(QStringLiteral("exact.wma")));
    expectComplete();
    EXPECT_EQ(progress.size(), 20);
    EXPECT_EQ(progress.value(1), QStringLiteral("10"));
    EXPECT_EQ(progress.back(), QStringLiteral("100"));
}

TEST_F(WmaConversion, FailuresEndErrorWithoutAFileAndSayWhy)
{
    convert::ConvertToWMA(session, path(QStringLiteral("missing.mp3")), path(QStringLiteral("a.wma")));
    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("a.wma"))));

    // An output folder that does not exist.
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.0, 44100, 2));
    list->setCell(0, filelist::FileList::Status, QStringLiteral("Waiting Conversion"));
    convert::ConvertToWMA(session, in, path(QStringLiteral("nowhere/c.wma")));
    EXPECT_EQ(status(), QStringLiteral("Error"));

    EXPECT_EQ(list->statusReason(0), QStringLiteral("No such file or directory"));

    // An existing file is left as it was: the output takes the next name.
    const QString taken = path(QStringLiteral("taken.wma"));
    ASSERT_TRUE(testsupport::writeFile(taken, "keep"));
    list->setCell(0, filelist::FileList::Status, QStringLiteral("Waiting Conversion"));
    convert::ConvertToWMA(session, in, taken);
    EXPECT_EQ(status(), QStringLiteral("Complete"));
    EXPECT_EQ(QFileInfo(taken).size(), 4);
    EXPECT_EQ(session.outputMade, path(QStringLiteral("taken_Converted.wma")));
    EXPECT_EQ(logLines().size(), 2); // one line with its reason per failure
}
