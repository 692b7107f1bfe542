#include "Mp3OggWmaTestSession.h"
#include "convert/ConvertToMP3_OGG.h"
#include "filelist/RowWords.h"

#include <QFileInfo>

using encodertest::probe;
using options::FormatOptions;

namespace {

class OggConversion : public encodertest::EncoderSession {
protected:
    void SetUp() override
    {
        EncoderSession::SetUp();
        options.optFileFormat(FormatOptions::OGG).click();
    }
};

} // namespace

TEST_F(OggConversion, VariableAndManagedBitratesDecodeBackAsAsked)
{
    const QString in = path(QStringLiteral("tone.flac"));
    ASSERT_TRUE(testsupport::makeTone(in, 3.0, 44100, 2));
    options.optOGGVBR.click();
    options.sliderOGG.setValue(3);
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("vbr.ogg")));
    expectComplete();
    auto p = probe(path(QStringLiteral("vbr.ogg")));
    EXPECT_EQ(p.codec, QStringLiteral("vorbis"));
    EXPECT_EQ(p.rate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.duration, 3.0, 0.01);

    options.optOGGCBR.click();
    options.cmbOGGCBitrate.setListIndex(options.cmbOGGCBitrate.items().indexOf(QStringLiteral("96 Kbps")));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("cbr.ogg")));
    expectComplete();
    p = probe(path(QStringLiteral("cbr.ogg")));
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.duration, 3.0, 0.01);
}

TEST_F(OggConversion, SurroundInputKeepsItsChannels)
{
    // oggenc takes 5.1 itself, so it is not mixed down.
    const QString in = path(QStringLiteral("film.mkv"));
    ASSERT_TRUE(encodertest::makeDistinctTone(in, 2.0, 48000, QStringLiteral("5.1"), 6));
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("film.ogg")));
    expectComplete();
    EXPECT_EQ(probe(path(QStringLiteral("film.ogg"))).channels, 6);
}

TEST_F(OggConversion, LowQualityIsTheLowestTheEncoderTakes)
{
    const QString in = path(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 2.0, 44100, 2));
    options.optOGGVBR.click();
    options.sliderOGG.setValue(-2); // oggenc refuses -2: it gets -1
    const QString out = path(QStringLiteral("q.ogg"));
    convert::ConvertToMP3_OGG(session, in, out);
    expectComplete();
    EXPECT_EQ(probe(out).codec, QStringLiteral("vorbis"));
    EXPECT_EQ(options.sliderOGG.Value(), -2);
}

TEST_F(OggConversion, OptionsTheEncoderRejectsEndErrorWithALogLine)
{
    const QString low = path(QStringLiteral("low.wav"));
    ASSERT_TRUE(testsupport::makeTone(low, 1.0, 8000, 2));
    options.optOGGCBR.click();
    options.cmbOGGCBitrate.setListIndex(0); // 320 Kbps at 8 kHz
    const QString out = path(QStringLiteral("m.ogg"));
    convert::ConvertToMP3_OGG(session, low, out);
    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    // The engine's code, then the encoder's own complaint.
    EXPECT_TRUE(lines[0].contains(
        QStringLiteral(" Some Other Mystery Error -1 occured when Quill2 tried to play/convert: ") + low + u' '));
    EXPECT_FALSE(list->statusReason(0).isEmpty());
    EXPECT_TRUE(lines[0].endsWith(list->statusReason(0) + u')'));
    EXPECT_FALSE(QFileInfo::exists(out));
}
