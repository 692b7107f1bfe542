#include "convert/ConversionFailure.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

struct ErrorOutputCase {
    const char* name;
    QByteArray output;
    QString expected;
};

TEST(LastErrorLine, IsTheLastLineWithTextTrimmed)
{
    const ErrorOutputCase cases[] = {
        {"nothing", QByteArray(), QString()},
        {"only blanks", "  \n\t\r\n", QString()},
        {"one line", "lame: bad bitrate\n", QStringLiteral("lame: bad bitrate")},
        {"progress ends in CR", "Encoding 10%\rEncoding 20%\rCould not write\r", QStringLiteral("Could not write")},
        {"blank lines after", "first\nlast one  \n   \n\n", QStringLiteral("last one")},
        {"no line end", "first\n  second", QStringLiteral("second")},
        {"UTF-8", "Fehler: Datei »ä« fehlt\n", QStringLiteral("Fehler: Datei »ä« fehlt")},
    };
    for (const ErrorOutputCase& c : cases)
        EXPECT_EQ(convert::lastErrorLine(c.output), c.expected) << c.name;
}

} // namespace
