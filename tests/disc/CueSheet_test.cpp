// The CUE sheet reader: what a sheet says, and the sheets it refuses.

#include "disc/CueSheet.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using disc::CueSheet;
using Kind = disc::DiscProblem::Kind;

class CueSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(testsupport::writeFile(m_dir.filePath(QStringLiteral("a.bin")), QByteArray(2352 * 10, '\0')));
        ASSERT_TRUE(testsupport::writeFile(m_dir.filePath(QStringLiteral("Rip.flac")), QByteArray("x")));
    }
    disc::DiscProblem parse(const QByteArray& text, CueSheet& sheet)
    {
        return CueSheet::parse(text, m_dir.path(), sheet);
    }
    QTemporaryDir m_dir;
};

TEST_F(CueSheetTest, ReadsFilesTracksIndexPointsAndTexts)
{
    CueSheet sheet;
    const auto problem = parse("\xEF\xBB\xBFREM GENRE \"Jazz Fusion\"\r\nREM DATE 1999\r\nPERFORMER \"The Band\"\r\n"
                               "TITLE Unquoted Album Name\r\nREM DISCNUMBER 2\r\nREM TOTALDISCS 3\r\n"
                               "FILE \"a.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n"
                               "    SONGWRITER \"Writer\"\r\n    INDEX 00 00:00:00\r\n    INDEX 01 00:00:05\r\n"
                               "  TRACK 02 MODE1/2352\r\n    INDEX 01 00:00:07\r\n  TRACK 03 AUDIO\r\n"
                               "    REM DATE 2000\r\n    INDEX 00 00:00:08\r\n    INDEX 01 00:00:09\r\n",
                               sheet);
    ASSERT_FALSE(problem) << int(problem.kind);
    EXPECT_EQ(sheet.genre, QStringLiteral("Jazz Fusion"));
    EXPECT_EQ(sheet.date, QStringLiteral("1999"));
    EXPECT_EQ(sheet.performer, QStringLiteral("The Band"));
    EXPECT_EQ(sheet.title, QStringLiteral("Unquoted Album Name"));
    EXPECT_EQ(sheet.discNumber, QStringLiteral("2"));
    EXPECT_EQ(sheet.totalDiscs, QStringLiteral("3"));
    ASSERT_EQ(sheet.files.size(), 1u);
    EXPECT_EQ(sheet.files[0].type, CueSheet::FileType::Binary);
    EXPECT_EQ(sheet.files[0].path, m_dir.filePath(QStringLiteral("a.bin")));
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.tracks[0].title, QStringLiteral("One"));
    EXPECT_EQ(sheet.tracks[0].songwriter, QStringLiteral("Writer"));
    EXPECT_EQ(sheet.tracks[0].gap.frame, 0);
    EXPECT_EQ(sheet.tracks[0].start.frame, 5);
    EXPECT_FALSE(sheet.tracks[1].audio);
    EXPECT_TRUE(sheet.tracks[1].rawSectors);
    EXPECT_EQ(sheet.tracks[2].number, 3);
    EXPECT_EQ(sheet.tracks[2].date, QStringLiteral("2000"));
    EXPECT_EQ(sheet.tracks[2].gap.frame, 8);
}

TEST_F(CueSheetTest, TextThatIsNotUtf8IsReadAsWindows1252)
{
    CueSheet sheet;
    ASSERT_FALSE(
        parse("TITLE \"Caf\xE9 \x80 \x93Live\x94\"\nFILE a.bin BINARY\nTRACK 1 AUDIO\nINDEX 1 00:00:00\n", sheet));
    EXPECT_EQ(sheet.title, QStringLiteral(u"Café € “Live”"));
}

TEST_F(CueSheetTest, ReadsSheetsAsRippersWriteThem)
{
    struct Case {
        const char* shape;
        QByteArray text;
        std::size_t tracks;
        const char* title; // of the first track
        const char* date;
        const char* genre;
    };
    const QByteArray two = "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
                           "  TRACK 02 AUDIO\n    INDEX 01 00:00:05\n";
    QByteArray crOnly = "REM DATE 1987\n" + two;
    crOnly.replace('\n', '\r');
    QByteArray crlf = "REM DATE 1987\n" + two;
    crlf.replace("\n", "\r\n");
    const Case cases[] = {
        {"last track data, INDEX 00 only", two + "  TRACK 03 MODE1/2352\n    INDEX 00 00:00:09\n", 3, "One", "", ""},
        {"data track without a file", two + "FILE \"data.bin\" BINARY\n  TRACK 03 MODE2/2336\n    INDEX 01 00:00:00\n",
         3, "One", "", ""},
        {"quote inside a title",
         "FILE a.bin BINARY\nTRACK 01 AUDIO\nTITLE \"So What (12\" Version)\"\nINDEX 01 00:00:00\n", 1,
         "So What (12\" Version)", "", ""},
        {"tabs between fields",
         "REM\tDATE\t1999\nREM GENRE\t\"Jazz Fusion\"\nFILE\ta.bin\tBINARY\n\tTRACK\t01\tAUDIO\n"
         "\t\tTITLE\t\"One\"\n\t\tINDEX\t01\t00:00:00\n",
         1, "One", "1999", "Jazz Fusion"},
        {"CR line ends", crOnly, 2, "One", "1987", ""},
        {"CR LF line ends", crlf, 2, "One", "1987", ""},
    };
    for (const Case& c : cases) {
        CueSheet sheet;
        const disc::DiscProblem problem = parse(c.text, sheet);
        ASSERT_FALSE(problem) << c.shape << ": " << int(problem.kind) << " " << problem.track;
        ASSERT_EQ(sheet.tracks.size(), c.tracks) << c.shape;
        EXPECT_EQ(sheet.tracks[0].title, QString::fromUtf8(c.title)) << c.shape;
        EXPECT_EQ(sheet.date, QString::fromUtf8(c.date)) << c.shape;
        EXPECT_EQ(sheet.genre, QString::fromUtf8(c.genre)) << c.shape;
        EXPECT_EQ(sheet.tracks.back().number, int(c.tracks)) << c.shape;
    }
}

TEST_F(CueSheetTest, FindsFilesAsRippersLeaveThem)
{
    // A Windows path, a name in other case, and a WAV sheet whose audio was
    // compressed to FLAC afterwards all find their file beside the sheet.
    for (const char* named : {"C:\\Rips\\a.bin\" BINARY", "A.BIN\" BINARY", "rip.wav\" WAVE"}) {
        CueSheet sheet;
        const QByteArray text = QByteArray("FILE \"") + named + "\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
        ASSERT_FALSE(parse(text, sheet)) << named;
        EXPECT_FALSE(sheet.files[0].path.isEmpty()) << named;
    }
}

TEST_F(CueSheetTest, RefusesSheetsThatCannotBeRightAndSaysWhy)
{
    struct Case {
        const char* text;
        Kind kind;
        int track;
    };
    const Case cases[] = {
        {"FILE \"gone.flac\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", Kind::MissingFile, 1},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:05:00\nTRACK 02 AUDIO\nINDEX 01 00:03:00\n", Kind::OutOfOrder,
         2},
        {"FILE a.bin BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\nINDEX 01 00:03:00\n", Kind::OutOfOrder,
         1},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:01:00\nTRACK 02 AUDIO\nINDEX 00 00:00:50\nINDEX 01 00:02:00\n",
         Kind::OutOfOrder, 2},
        {"TRACK 01 AUDIO\nINDEX 01 00:00:00\n", Kind::Syntax, 1},
        {"FILE a.bin BINARY\nINDEX 01 00:00:00\n", Kind::Syntax, 2},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:61:00\n", Kind::Syntax, 3},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n", Kind::Syntax, 3},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:05\nTRACK 02 MODE1/2352\nINDEX 00 00:00:02\n",
         Kind::OutOfOrder, 2},
        {"FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n", Kind::Syntax, 2},
        {"FILE a.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", Kind::NoAudioTracks, 0},
        {"just some text\n", Kind::NoAudioTracks, 0},
    };
    for (const Case& c : cases) {
        CueSheet sheet;
        const disc::DiscProblem problem = parse(c.text, sheet);
        EXPECT_EQ(problem.kind, c.kind) << c.text;
        EXPECT_EQ(problem.track, c.track) << c.text;
    }
}

TEST_F(CueSheetTest, NinetyNineTracks)
{
    QByteArray text = "FILE a.bin BINARY\n";
    for (int t = 1; t <= 99; ++t)
        text += QStringLiteral("TRACK %1 AUDIO\nINDEX 01 00:%2:%3\n")
                    .arg(t)
                    .arg((t - 1) / 75, 2, 10, QLatin1Char('0'))
                    .arg((t - 1) % 75, 2, 10, QLatin1Char('0'))
                    .toUtf8();
    CueSheet sheet;
    ASSERT_FALSE(parse(text, sheet));
    ASSERT_EQ(sheet.tracks.size(), 99u);
    EXPECT_EQ(sheet.tracks.back().number, 99);
    CueSheet tooMany;
    EXPECT_EQ(parse(text + "TRACK 100 AUDIO\nINDEX 01 00:02:00\n", tooMany).kind, Kind::Syntax);
}

} // namespace
