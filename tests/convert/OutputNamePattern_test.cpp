#include "convert/OutputNameExample.h"
#include "convert/OutputNamePattern.h"
#include "filelist/FileList.h"
#include "support/DiscImage.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using convert::OutputNamePattern;
using Problem = OutputNamePattern::Problem;

namespace {

const QString kPattern = QStringLiteral("{artist}/{album}/{track:02} - {title}");

engine::MediaTags fullTags()
{
    engine::MediaTags tags;
    tags.artist = QStringLiteral("Nina Vale");
    tags.album = QStringLiteral("Salt Roads");
    tags.track = QStringLiteral("3/12");
    tags.title = QStringLiteral("Harbour");
    tags.date = QStringLiteral("1999-05-01");
    return tags;
}

qsizetype utf8Size(const QString& text)
{
    return text.toUtf8().size();
}

} // namespace

TEST(OutputNamePattern, PatternsThatCannotBeUsedAreRefusedWithTheirReason)
{
    const struct {
        const char* pattern;
        Problem problem;
        const char* message;
    } cases[] = {
        {"", Problem::Empty, "The pattern for output names is empty or ends in \"/\"."},
        {"   ", Problem::Empty, nullptr},
        {"{artist}/", Problem::Empty, nullptr},
        {"/music/{title}", Problem::Escapes, nullptr},
        {"../{title}", Problem::Escapes,
         "The pattern for output names must stay inside the output folder: it can not begin with \"/\" or hold "
         "\"..\"."},
        {"{artist}/ .. /{title}", Problem::Escapes, nullptr},
        {"{nope}", Problem::UnknownField, "The pattern for output names holds an unknown field: {nope}"},
        {"{track:x}", Problem::UnknownField, nullptr},
        {"{}", Problem::UnknownField, nullptr},
        {"{title", Problem::Braces, nullptr},
        {"title}", Problem::Braces, nullptr},
        {"{a{title}}", Problem::Braces, nullptr},
        {"{ARTIST}/{Title}", Problem::None, nullptr},
        {"{artist}//{title}", Problem::None, nullptr},
    };
    for (const auto& c : cases) {
        const OutputNamePattern pattern(QString::fromUtf8(c.pattern));
        EXPECT_EQ(pattern.problem(), c.problem) << c.pattern;
        EXPECT_EQ(pattern.problemText().isEmpty(), c.problem == Problem::None) << c.pattern;
        if (c.message) {
            EXPECT_EQ(pattern.problemText(), QString::fromUtf8(c.message));
        }
        // A refused pattern leaves the name as it is today.
        if (c.problem != Problem::None) {
            EXPECT_EQ(pattern.expand(fullTags(), QStringLiteral("song")), QStringLiteral("song"));
        }
    }
}

// A user mends every problem at once: the pattern lists them all, in the
// order they stand in it, each unknown field once.
TEST(OutputNamePattern, EveryProblemIsListed)
{
    const OutputNamePattern pattern(QStringLiteral("/{nope}/{bad:x}/../{nope}/x}/"));
    EXPECT_FALSE(pattern.usable());
    EXPECT_EQ(pattern.problem(), Problem::Empty) << "it ends in \"/\", seen first";
    EXPECT_EQ(pattern.problemTexts(),
              QStringList({QStringLiteral("The pattern for output names is empty or ends in \"/\"."),
                           QStringLiteral("The pattern for output names must stay inside the output folder: it can "
                                          "not begin with \"/\" or hold \"..\"."),
                           QStringLiteral("The pattern for output names holds an unknown field: {nope}"),
                           QStringLiteral("The pattern for output names holds an unknown field: {bad:x}"),
                           QStringLiteral("The pattern for output names has a \"{\" or \"}\" without its partner.")}));
    EXPECT_EQ(pattern.expand(fullTags(), QStringLiteral("song")), QStringLiteral("song"));
    EXPECT_TRUE(OutputNamePattern(QStringLiteral("{artist}/{title}")).problemTexts().isEmpty());
}

TEST(OutputNamePattern, TagsFillTheFieldsAndAMissingOneKeepsTheInputsName)
{
    const auto with = [](auto change) {
        engine::MediaTags tags = fullTags();
        change(tags);
        return tags;
    };
    const struct {
        QString pattern;
        engine::MediaTags tags;
        QString expected;
    } cases[] = {
        {kPattern, fullTags(), QStringLiteral("Nina Vale/Salt Roads/03 - Harbour")},
        {QStringLiteral("{YEAR} {Album}/{disc}-{track:3}"),
         with([](engine::MediaTags& t) { t.disc = QStringLiteral("2/2"); }), QStringLiteral("1999 Salt Roads/2-003")},
        // A track that is no number is written as it stands.
        {kPattern, with([](engine::MediaTags& t) { t.track = QStringLiteral("A1"); }),
         QStringLiteral("Nina Vale/Salt Roads/A1 - Harbour")},
        // Blanks around tags are dropped; a tag of blanks only is missing.
        {kPattern, with([](engine::MediaTags& t) { t.artist = QStringLiteral("  Nina Vale "); }),
         QStringLiteral("Nina Vale/Salt Roads/03 - Harbour")},
        {kPattern, with([](engine::MediaTags& t) { t.album = QStringLiteral("  "); }), QStringLiteral("song")},
        {kPattern, with([](engine::MediaTags& t) { t.title.clear(); }), QStringLiteral("song")},
        {kPattern, engine::MediaTags{}, QStringLiteral("song")},
        {QStringLiteral("{albumartist}/{title}"), fullTags(), QStringLiteral("song")},
        {QStringLiteral("./{album}//{title}"), fullTags(), QStringLiteral("Salt Roads/Harbour")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutputNamePattern(c.pattern).expand(c.tags, QStringLiteral("song")), c.expected)
            << qPrintable(c.pattern);
}

TEST(OutputNamePattern, HostileTagTextStaysOnePartInsideTheFolder)
{
    const auto expand = [](const QString& artist, const QString& title) {
        engine::MediaTags tags = fullTags();
        tags.artist = artist;
        tags.title = title;
        return OutputNamePattern(kPattern).expand(tags, QStringLiteral("song"));
    };
    const struct {
        QString artist;
        QString title;
        QString expected;
    } cases[] = {
        {QStringLiteral("../.."), QStringLiteral("../../etc/passwd"),
         QStringLiteral("___../Salt Roads/03 - .._.._etc_passwd")},
        {QStringLiteral("AC/DC"), QStringLiteral("Back\\Slash"), QStringLiteral("AC_DC/Salt Roads/03 - Back_Slash")},
        {QStringLiteral(".hidden"),
         QStringLiteral("a\tb\nc\x01"
                        "d\x7f"),
         QStringLiteral("_hidden/Salt Roads/03 - a_b_c_d_")},
        {QStringLiteral("..."), QStringLiteral("Harbour"), QStringLiteral("___/Salt Roads/03 - Harbour")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expand(c.artist, c.title), c.expected) << qPrintable(c.title);

    // 300-byte tags: a folder is cut to 255 bytes, the name leaves room for
    // a collision suffix and the extension; no character is split.
    const QString longTitle = QString(150, QChar(0xE9));    // "é": 2 bytes each
    const QString longArtist = QString(100, QChar(0x20AC)); // "€": 3 bytes each
    const QStringList parts = expand(longArtist, longTitle).split(u'/');
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(utf8Size(parts[0]), 255);
    EXPECT_EQ(parts[0], QString(85, QChar(0x20AC)));
    EXPECT_LE(utf8Size(parts[2]), OutputNamePattern::kPartBytes - OutputNamePattern::kNameReserve);
    EXPECT_GE(utf8Size(parts[2]), OutputNamePattern::kPartBytes - OutputNamePattern::kNameReserve - 1);
    EXPECT_TRUE(parts[2].startsWith(QStringLiteral("03 - \u00e9")));
    EXPECT_EQ(QString::fromUtf8(parts[2].toUtf8()), parts[2]);
}

// The example under the pattern names the first row as the batch will: a
// track of a CUE sheet by its sheet's tags, or "Track01" where they lack.
TEST(OutputNameExample, TheFirstRowIsNamedAsTheBatchNamesIt)
{
    QTemporaryDir dir;
    testsupport::DiscImage disc;
    ASSERT_TRUE(disc.make(dir.filePath(QStringLiteral("album.bin")), {{}, {}}));
    ASSERT_TRUE(
        testsupport::writeFile(dir.filePath(QStringLiteral("album.cue")), disc.sheet(QStringLiteral("album.bin"))));
    filelist::FileList list;
    filelist::FileListRow row;
    row.path = dir.filePath(QStringLiteral("album.cue#01"));
    ASSERT_TRUE(list.append(row));
    convert::OutputNameExample example;
    EXPECT_EQ(example.name(kPattern, &list, QStringLiteral("mp3")), QStringLiteral("Artist 1/Album/01 - Title 1.mp3"));
    EXPECT_EQ(example.name(QStringLiteral("{composer}"), &list, QStringLiteral("mp3")), QStringLiteral("Track01.mp3"));
}
