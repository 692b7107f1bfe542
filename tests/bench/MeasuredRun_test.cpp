#include "support/MeasuredRun.h"

#include <gtest/gtest.h>

using bench::MeasuredRun;

namespace {

MeasuredRun shell(const QString& script, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    return MeasuredRun::of(QStringLiteral("sh"), {QStringLiteral("-c"), script}, env);
}

} // namespace

TEST(MeasuredRun, KeepsTheExitCodeAndBothOutputs)
{
    struct Case {
        const char* script;
        int exitCode;
        QByteArray out;
        QByteArray err;
    };
    const Case cases[] = {
        {"echo out; echo err >&2", 0, "out\n", "err\n"},
        {"printf partial; exit 3", 3, "partial", ""},
        {"read line || echo empty", 0, "empty\n", ""}, // standard input is empty
        {"kill -9 $$", -1, "", ""},                    // killed: no exit code
    };
    for (const Case& c : cases) {
        const MeasuredRun run = shell(QString::fromLatin1(c.script));
        EXPECT_EQ(run.exitCode, c.exitCode) << c.script;
        EXPECT_EQ(run.out, c.out) << c.script;
        EXPECT_EQ(run.err, c.err) << c.script;
    }
}

TEST(MeasuredRun, RunsInTheGivenEnvironmentAndFailsToStartAMissingProgram)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BENCH_PROBE"), QStringLiteral("a b'c"));
    EXPECT_EQ(shell(QStringLiteral("printf %s \"$BENCH_PROBE\""), env).out, "a b'c");

    const MeasuredRun missing = MeasuredRun::of(QStringLiteral("/no/such/program"), {}, env);
    EXPECT_EQ(missing.exitCode, -1);
}

TEST(MeasuredRun, PeakMemoryIsTheChildsOwn)
{
    // sort holds its whole input (one 64 MB line) in memory before it writes.
    const MeasuredRun large = shell(QStringLiteral("head -c 67108864 /dev/zero | sort > /dev/null"));
    ASSERT_EQ(large.exitCode, 0) << large.err.constData();
    EXPECT_GE(large.peakKb, 60 * 1024);

    const MeasuredRun small = shell(QStringLiteral("true"));
    EXPECT_GT(small.peakKb, 0);
    EXPECT_LT(small.peakKb, 20 * 1024); // not the largest child seen so far
    EXPECT_GE(small.wallSeconds, 0);
}
