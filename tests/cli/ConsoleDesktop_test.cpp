#include "cli/ConsoleDesktop.h"

#include <cstdio>
#include <gtest/gtest.h>

using cli::ConsoleDesktop;

TEST(ConsoleDesktop, ABoxBecomesItsTextOnTheStreamAndGetsTheCautiousAnswer)
{
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    ConsoleDesktop desktop(stream);
    EXPECT_EQ(desktop.messageBox(QStringLiteral("first\r\nsecond ü"), QStringLiteral("Tonemill"),
                                 platform::Desktop::Icon::Critical, platform::Desktop::Buttons::YesNoCancel),
              platform::Desktop::Answer::Cancel);
    EXPECT_EQ(desktop.messageBox(QStringLiteral("plain"), QString(), platform::Desktop::Icon::Information,
                                 platform::Desktop::Buttons::Ok),
              platform::Desktop::Answer::Ok);

    std::rewind(stream);
    char buffer[128] = {};
    const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, stream);
    std::fclose(stream);
    EXPECT_EQ(QByteArray(buffer, qsizetype(got)), QByteArray("first\nsecond \xC3\xBC\nplain\n"));

    EXPECT_EQ(ConsoleDesktop::defaultAnswer(platform::Desktop::Buttons::YesNo), platform::Desktop::Answer::No);
    EXPECT_EQ(ConsoleDesktop::defaultAnswer(platform::Desktop::Buttons::OkCancel), platform::Desktop::Answer::Cancel);
    EXPECT_EQ(ConsoleDesktop::defaultAnswer(platform::Desktop::Buttons::RetryCancel),
              platform::Desktop::Answer::Cancel);
    EXPECT_TRUE(desktop.ShowOpenFileDialog({}, QStringLiteral("t"), true, QStringLiteral("k")).cancelled());
    EXPECT_TRUE(desktop.BrowseForFolder(QStringLiteral("t"), false, QStringLiteral("k")).isEmpty());
}
