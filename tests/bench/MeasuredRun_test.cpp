#include "support/MeasuredRun.h"
#include "support/ProcessMemory.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

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
    // sort holds its whole input (one 128 MB line) in memory before it writes.
    const MeasuredRun large = shell(QStringLiteral("head -c 134217728 /dev/zero | sort > /dev/null"));
    ASSERT_EQ(large.exitCode, 0) << large.err.constData();
    EXPECT_GE(large.peakKb, 120 * 1024);

    // A child's peak counts the memory of the process that started it, up to
    // its exec: the bound follows this process's own peak (whatever the size
    // of its libraries and of the sanitizers' shadow) with a margin, and
    // stays far below the large child, which a peak of the largest child
    // seen so far would give.
    std::vector<char> ballast(24 * 1024 * 1024);
    std::memset(ballast.data(), 1, ballast.size());
    const MeasuredRun small = shell(QStringLiteral("true"));
    const long own = bench::ownMemoryKb("VmHWM");
    ASSERT_GT(own, 24 * 1024);
    ASSERT_LT(own + 16 * 1024, large.peakKb) << "this process is too large to tell the two apart";
    EXPECT_GT(small.peakKb, 0);
    EXPECT_LT(small.peakKb, own + 16 * 1024);
    EXPECT_GE(small.wallSeconds, 0);
    EXPECT_EQ(ballast[ballast.size() / 2], 1); // kept until here
}
