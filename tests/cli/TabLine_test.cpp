#include "cli/TabLine.h"
#include "platform/FileName.h"

#include <gtest/gtest.h>

TEST(TabLine, AFieldNeverSplitsItsLineAndReadsBackUnambiguously)
{
    const struct {
        QString field;
        QString written;
    } cases[] = {
        {QStringLiteral("tab\there"), QStringLiteral("tab\\there")},
        {QStringLiteral("two\nlines\r"), QStringLiteral("two\\nlines\\r")},
        {QStringLiteral("back\\slash \\t"), QStringLiteral("back\\\\slash \\\\t")},
        {QStringLiteral("bell\x07") + QChar(0x7F), QStringLiteral("bell\\x07\\x7f")},
        {platform::fromNativeName("caf\xe9"), platform::fromNativeName("caf\xe9")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::tabField(c.field), c.written) << qPrintable(c.written);
    EXPECT_EQ(cli::tabLine({QStringLiteral("a\tb"), QString(), QStringLiteral("c")}), QStringLiteral("a\\tb\t\tc\n"));
}
