#include "support/BenchArguments.h"
#include "support/Timing.h"

#include <gtest/gtest.h>

using bench::BenchArguments;

TEST(BenchArguments, NumbersFallBackWhenAbsentOrNotNumbersAndKeepTheirMinimum)
{
    struct Case {
        QStringList arguments;
        int expected;
    };
    const Case cases[] = {
        {{"bench"}, 2},
        {{"bench", "--rounds", "5"}, 5},
        {{"bench", "--rounds", "0"}, 1},
        {{"bench", "--rounds", "many"}, 2},
        {{"bench", "--rounds"}, 2},
        {{"bench", "--quick", "--rounds", "3"}, 3},
        {{"--rounds", "bench", "7"}, 2}, // the program itself is no option
    };
    for (const Case& c : cases)
        EXPECT_EQ(BenchArguments(c.arguments).number(QStringLiteral("--rounds"), 2), c.expected)
            << qPrintable(c.arguments.join(u' '));

    const BenchArguments arguments({"bench", "--quick", "--format", "ogg"});
    EXPECT_TRUE(arguments.flag(QStringLiteral("--quick")));
    EXPECT_FALSE(arguments.flag(QStringLiteral("--slow")));
    EXPECT_EQ(arguments.text(QStringLiteral("--format")), QStringLiteral("ogg"));
    EXPECT_TRUE(arguments.text(QStringLiteral("--output")).isEmpty());
}

TEST(Timing, MedianOfOddAndEvenCounts)
{
    EXPECT_EQ(bench::median({}), 0);
    EXPECT_EQ(bench::median({4}), 4);
    EXPECT_EQ(bench::median({9, 1, 5}), 5);
    EXPECT_EQ(bench::median({8, 2, 4, 6}), 5);
}
