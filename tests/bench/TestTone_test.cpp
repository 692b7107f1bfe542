#include "support/Fixtures.h"
#include "support/TestTone.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using bench::TestTone;

TEST(TestTone, MakesStereoAudioOfTheLengthOnceAndKeepsIt)
{
    QTemporaryDir folder;
    for (const TestTone::Signal signal : {TestTone::Signal::Sine, TestTone::Signal::Sweep}) {
        const TestTone tone{folder.filePath(signal == TestTone::Signal::Sine ? QStringLiteral("sine.flac")
                                                                             : QStringLiteral("sweep.flac")),
                            2,
                            signal,
                            330,
                            {QStringLiteral("-c:a"), QStringLiteral("flac")}};
        ASSERT_EQ(tone.make(), tone.path);
        // 2 s of 16-bit stereo at 44.1 kHz.
        EXPECT_EQ(testsupport::decodeWithFfmpeg(tone.path).size(), 2 * 44100 * 2 * 2);

        const QDateTime made = QFileInfo(tone.path).lastModified();
        ASSERT_EQ(tone.make(), tone.path);
        EXPECT_EQ(QFileInfo(tone.path).lastModified(), made); // not made again
    }
}

TEST(TestTone, AFailureLeavesNoFile)
{
    QTemporaryDir folder;
    const TestTone tone{folder.filePath(QStringLiteral("bad.flac")),
                        1,
                        TestTone::Signal::Sine,
                        440,
                        {QStringLiteral("-c:a"), QStringLiteral("no-such-codec")}};
    EXPECT_TRUE(tone.make().isEmpty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}
