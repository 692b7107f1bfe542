#include "support/Fixtures.h"
#include "support/PerFileComparison.h"

#include <gtest/gtest.h>

using bench::PerFileComparison;

namespace {

//! A conversion that writes `bytes` to its target and answers `answer`.
PerFileComparison::Conversion writing(QByteArray bytes, bool answer)
{
    return [bytes, answer](const QString&, const QString& target) {
        return testsupport::writeFile(target, bytes) && answer;
    };
}

} // namespace

TEST(PerFileComparison, AnEmptyOrFailedConversionOfEitherSideIsAFailure)
{
    struct Case {
        QByteArray ours;
        bool oursAnswer;
        bool referenceAnswer;
        bool ok;
    };
    const Case cases[] = {
        {"audio", true, true, true},
        {"", true, true, false}, // ours claimed success but wrote nothing
        {"audio", false, true, false},
        {"audio", true, false, false},
    };
    for (const Case& c : cases) {
        PerFileComparison comparison("test", {QStringLiteral("a.flac"), QStringLiteral("b.flac")}, 1, 2);
        int calls = 0;
        const PerFileComparison::Conversion ours = writing(c.ours, c.oursAnswer);
        comparison.compare(
            QStringLiteral("mp3"),
            [&](const QString& in, const QString& target) {
                ++calls;
                return ours(in, target);
            },
            writing("reference", c.referenceAnswer));
        EXPECT_EQ(comparison.ok(), c.ok) << c.ours.constData() << c.oursAnswer << c.referenceAnswer;
        EXPECT_EQ(calls, 4); // every input, every run
    }
}
