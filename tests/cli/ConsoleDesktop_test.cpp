#include "cli/ConsoleDesktop.h"
#include "cli/ConvertConsole.h"

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

TEST(ConsoleDesktop, TheProgressLineShowsRateAndTimeLeftAndEscapesOnlyOnAFullTerminal)
{
    using cli::ConvertConsole;
    ConvertConsole::Progress progress{3, 12, 42, QStringLiteral("/music/a\x1b[2Jb.flac"), 12.46, 130};
    EXPECT_EQ(ConvertConsole::progressText(progress),
              QStringLiteral("[############..................]  42% 3/12 a?[2Jb.flac  12.5x  2:10 left"));
    progress.rate.reset();
    progress.secondsLeft = 3725;
    EXPECT_TRUE(ConvertConsole::progressText(progress).endsWith(QStringLiteral("b.flac  1:02:05 left")));

    const struct {
        ConvertConsole::Terminal terminal;
        bool drawn;
        bool escapes;
    } cases[] = {{ConvertConsole::Terminal::None, false, false},
                 {ConvertConsole::Terminal::Dumb, true, false},
                 {ConvertConsole::Terminal::Full, true, true}};
    for (const auto& c : cases) {
        std::FILE* stream = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        {
            ConvertConsole console(stream, c.terminal);
            console.drawProgress(progress);
            progress.percent = 43;
            console.drawProgress(progress);
        }
        std::rewind(stream);
        char buffer[1024] = {};
        const QByteArray written(buffer, qsizetype(std::fread(buffer, 1, sizeof buffer - 1, stream)));
        std::fclose(stream);
        EXPECT_EQ(written.contains("43%"), c.drawn) << int(c.terminal);
        EXPECT_EQ(written.contains('\x1b'), c.escapes) << written.constData();
    }
}
