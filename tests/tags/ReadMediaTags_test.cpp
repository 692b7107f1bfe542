#include "engine/StreamTestHelpers.h"
#include "support/Fixtures.h"
#include "tags/ReadMediaTags.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using tags::ReadMediaTags;
using testsupport::writeFile;

namespace {

//! A format-0 MIDI file whose track carries a name (Latin-1 "Für Elise"), a
//! copyright notice and a text event before and between two notes.
QByteArray midiWithText()
{
    auto meta = [](int type, const QByteArray& text) {
        return QByteArray(1, '\0') + char(0xff) + char(type) + streamtest::varLen(quint32(text.size())) + text;
    };
    QByteArray track;
    track += meta(0x03, QByteArray("F\xfcr Elise"));
    track += meta(0x02, QByteArray("(c) 1810"));
    track += meta(0x01, QByteArray("Bagatelle in A minor"));
    track += QByteArray::fromHex("00903c40"); // note on, then a running-status note off
    track += streamtest::varLen(480) + QByteArray::fromHex("3c00");
    track += meta(0x01, QByteArray("a later text event"));
    track += QByteArray::fromHex("00ff2f00");
    return streamtest::smfFile({track}, 480);
}

class ReadMediaTagsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        engine::LoadFormatModules();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ReadMediaTagsTest, Latin1Id3v1OnlyMp3ReadsAsUnicode)
{
    const QString mp3 = path("v1.mp3");
    ASSERT_TRUE(testsupport::makeTone(mp3, 1.0, 44100, 2, {QStringLiteral("-write_id3v2"), QStringLiteral("0")}));
    // ID3v1: "TAG", title, artist, album (30 bytes each), year, comment, genre.
    QByteArray v1 = "TAG";
    v1 += QByteArray("Caf\xe9 M\xfcller").leftJustified(30, '\0');
    v1 += QByteArray("Ren\xe9").leftJustified(30, '\0');
    v1 += QByteArray("Ann\xe9"
                     "e")
              .leftJustified(30, '\0');
    v1 += "1999";
    v1 += QByteArray("Tr\xe8s bien").leftJustified(28, '\0') + '\0' + char(7); // ID3v1.1: track 7
    v1 += char(8);
    QFile file(mp3);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_EQ(file.write(v1), 128);
    file.close();

    const engine::MediaTags tags = ReadMediaTags(mp3);
    EXPECT_EQ(tags.title, QStringLiteral("Café Müller"));
    EXPECT_EQ(tags.artist, QStringLiteral("René"));
    EXPECT_EQ(tags.album, QStringLiteral("Année"));
    EXPECT_EQ(tags.date, QStringLiteral("1999"));
    EXPECT_EQ(tags.comment, QStringLiteral("Très bien"));
    EXPECT_EQ(tags.track, QStringLiteral("7"));
}

TEST_F(ReadMediaTagsTest, MidiTextEventsAndModuleTitle)
{
    const QString mid = path("elise.mid");
    ASSERT_TRUE(writeFile(mid, midiWithText()));
    const engine::MediaTags midi = ReadMediaTags(mid);
    EXPECT_EQ(midi.title, QStringLiteral("Für Elise"));
    EXPECT_EQ(midi.copyright, QStringLiteral("(c) 1810"));
    EXPECT_EQ(midi.comment, QStringLiteral("Bagatelle in A minor")); // the first text event

    const QString mod = path("tiny.mod");
    ASSERT_TRUE(writeFile(mod, streamtest::tinyMod()));
    EXPECT_EQ(ReadMediaTags(mod).title, QStringLiteral("tiny"));
}

TEST_F(ReadMediaTagsTest, UntaggedMissingAndDamagedFilesGiveNoTags)
{
    const QString tone = path("plain.wav");
    ASSERT_TRUE(testsupport::makeTone(tone, 0.5, 44100, 1, {QStringLiteral("-fflags"), QStringLiteral("+bitexact")}));
    EXPECT_TRUE(ReadMediaTags(tone).isEmpty());
    EXPECT_TRUE(ReadMediaTags(path("missing.flac")).isEmpty());
    const QString junk = path("junk.mid");
    ASSERT_TRUE(writeFile(junk, QByteArray("MThd") + QByteArray::fromHex("0000000600000001") + "MTrk\xff\xff"));
    EXPECT_TRUE(ReadMediaTags(junk).isEmpty());
}
