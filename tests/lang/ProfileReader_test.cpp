#include "lang/ProfileReader.h"
#include "platform/TextEncoding.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using lang::ProfileReader;

namespace {

std::optional<QByteArray> valueOf(const QByteArray& text, const char* key, const char* section = "Tonemill")
{
    const auto value = ProfileReader::findValue(text, section, key);
    return value ? std::optional<QByteArray>(value->toByteArray()) : std::nullopt;
}

} // namespace

TEST(ProfileReader, SectionAndKeyNamesIgnoreCaseAndSurroundingBlanks)
{
    const QByteArray text = "[other]\n10001=wrong\n  [ tonemill ]  \n  10001  =  Alle  \nTitle=x\n";
    EXPECT_EQ(valueOf(text, "10001"), "Alle");
    EXPECT_EQ(valueOf(text, "TITLE"), "x");
    EXPECT_EQ(valueOf(text, "10002"), std::nullopt);
    EXPECT_EQ(valueOf("10001=outside any section\n", "10001"), std::nullopt);
    EXPECT_EQ(valueOf("[Other]\n10001=x\n", "10001"), std::nullopt);
}

TEST(ProfileReader, QuotesAreRemovedAndKeepTheBlanksInside)
{
    const QByteArray text = "[Tonemill]\n1=  \"Stop  \"  \n2=\"half\n3=\"\n4=a \"b\" c\n5=\"\"\n6=\n7=   \n";
    EXPECT_EQ(valueOf(text, "1"), "Stop  ");
    EXPECT_EQ(valueOf(text, "2"), "\"half");
    EXPECT_EQ(valueOf(text, "3"), "\"");
    EXPECT_EQ(valueOf(text, "4"), "a \"b\" c");
    EXPECT_EQ(valueOf(text, "5"), "");
    EXPECT_EQ(valueOf(text, "6"), "");
    EXPECT_EQ(valueOf(text, "7"), "");
}

TEST(ProfileReader, CommentsBlankLinesAndLineEnds)
{
    const QByteArray text = "\xEF\xBB\xBF[Tonemill]\r\n; 1=commented\r\n\r\n\t\r\n1=one ; not a comment\r\n"
                            "2=two\r3=three\n4=last line without end";
    EXPECT_EQ(valueOf(text, "1"), "one ; not a comment");
    EXPECT_EQ(valueOf(text, "2"), "two");
    EXPECT_EQ(valueOf(text, "3"), "three");
    EXPECT_EQ(valueOf(text, "4"), "last line without end");
    EXPECT_EQ(valueOf(text, "; 1"), std::nullopt);
    EXPECT_EQ(valueOf("[Tonemill\n1=x\n", "1"), std::nullopt); // no closing bracket: no section
}

TEST(ProfileReader, FirstSectionAndFirstKeyWin)
{
    const QByteArray text = "[Tonemill]\n1=first\n1=second\n[Other]\n2=other\n[TONEMILL]\n1=third\n2=later\n";
    EXPECT_EQ(valueOf(text, "1"), "first");
    EXPECT_EQ(valueOf(text, "2"), std::nullopt);
    EXPECT_EQ(valueOf(text, "2", "Other"), "other");
}

TEST(ProfileReader, CutsOnWholeUtf8Characters)
{
    const QByteArray euro = "\xE2\x82\xAC"; // three bytes
    EXPECT_EQ(ProfileReader::cutUtf8("ab" + euro, 4), "ab");
    EXPECT_EQ(ProfileReader::cutUtf8("ab" + euro, 5), "ab" + euro);
    EXPECT_EQ(ProfileReader::cutUtf8("ab" + euro + "c", 5), "ab" + euro);
    EXPECT_EQ(ProfileReader::cutUtf8("abc", 2), "ab");
    EXPECT_EQ(ProfileReader::cutUtf8("abc", 0), "");
    EXPECT_EQ(ProfileReader::cutUtf8("a\x80\x80\x80\x80", 3), "a\x80\x80"); // invalid bytes: cut at the limit
}

TEST(ProfileReader, ReadStringFallsBackToTheDefaultWithoutTrailingBlanks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    const QString fallback = QStringLiteral("  text  ");
    EXPECT_EQ(ProfileReader::readString(path, "Tonemill", "1", fallback, 500), "  text");
    EXPECT_EQ(ProfileReader::readString(dir.path(), "Tonemill", "1", fallback, 500), "  text"); // a folder
    const QString pipe = dir.filePath(QStringLiteral("pipe.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(ProfileReader::readString(pipe, "Tonemill", "1", fallback, 500), "  text"); // no writer: must not block

    static const char kText[] = "[Tonemill]\n1=\n2=a\0b\n3=\xC3\xA9t\xC3\xA9\n";
    ASSERT_TRUE(testsupport::writeFile(path, QByteArray(kText, sizeof kText - 1)));
    EXPECT_EQ(ProfileReader::readString(path, "Tonemill", "1", fallback, 500), "");
    EXPECT_EQ(ProfileReader::readString(path, "Tonemill", "2", fallback, 500), "a");
    EXPECT_EQ(ProfileReader::readString(path, "Tonemill", "3", fallback, 500), QString::fromUtf8("été"));
    EXPECT_EQ(ProfileReader::readString(path, "Tonemill", "3", fallback, 3), QString::fromUtf8("é"));
    EXPECT_EQ(ProfileReader::readString(path, "Tonemill", "4", fallback, 4), "  t");
}

TEST(ProfileReader, AFileThatIsNotUtf8IsReadAsWindows1252)
{
    QTemporaryDir dir;
    const auto read = [&dir](const QByteArray& content, const char* key, qsizetype bufferSize = 500) {
        const QString path = dir.filePath(QStringLiteral("lang.ini"));
        EXPECT_TRUE(testsupport::writeFile(path, content));
        return ProfileReader::readString(path, "Tonemill", key, "default", bufferSize);
    };
    // "Löschen", "€ 5 – “ok”" and "Größe" as an old Western editor saves them.
    const QByteArray cp1252 = "[Tonemill]\n1=L\xF6schen\n2=\x80 5 \x96 \x93ok\x94\n3=Gr\xF6\xDF"
                              "e\n4=\x81\x8D\n";
    EXPECT_EQ(read(cp1252, "1"), QString::fromUtf8("Löschen"));
    EXPECT_EQ(read(cp1252, "2"), QString::fromUtf8("€ 5 – “ok”"));
    EXPECT_EQ(read(cp1252, "3"), QString::fromUtf8("Größe"));
    EXPECT_EQ(read(cp1252, "4"), QString(QChar(0x81)) + QChar(0x8D)); // undefined bytes: C1 controls
    EXPECT_EQ(read(cp1252, "5"), "default");
    // Every byte above ASCII: the code page's own characters, then Latin-1 from 0xA0 on.
    QByteArray high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high += char(byte);
    EXPECT_EQ(read("[Tonemill]\n1=<" + high + ">\n", "1"),
              QString::fromUtf8("<€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ") +
                  QString::fromLatin1(high.mid(0x20)) + u'>');
    EXPECT_EQ(read("[Tonemill]\n1=" + QByteArray(600, '\xE9') + "\n", "1"), QString(499, QChar(0xE9)));

    // One bad byte anywhere makes the whole file Windows-1252, even an entry
    // that would be valid UTF-8 on its own.
    EXPECT_EQ(read("[Tonemill]\n1=\xC3\xA9\n2=\xE9\n", "1"), QString::fromUtf8("Ã©"));
    // UTF-8, with or without a byte order mark, stays UTF-8.
    EXPECT_EQ(read("\xEF\xBB\xBF[Tonemill]\n1=\xC3\xA9t\xC3\xA9\n", "1"), QString::fromUtf8("été"));
    EXPECT_EQ(read("[Tonemill]\n1=\xE6\x97\xA5\xE6\x9C\xAC\n", "1"), QString::fromUtf8("日本"));
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
        EXPECT_FALSE(platform::isValidUtf8(bad)) << QByteArray(bad).toHex().constData();
    EXPECT_TRUE(platform::isValidUtf8("\xF0\x9F\x8E\xB5"));
}
