#include "loudness/LoudnessStore.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using loudness::LoudnessStore;

namespace {

class LoudnessStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        input = dir.filePath(QStringLiteral("song.flac"));
        ASSERT_TRUE(testsupport::writeFile(input, QByteArray(1000, 'a')));
        analysis.samplePeak = 0.5;
        analysis.truePeak = 0.56;
        for (int i = 0; i < 50; ++i)
            analysis.blocks.push_back(float(loudness::LoudnessAnalysis::energy(-20.0 + i * 0.1)));
    }
    QTemporaryDir dir;
    QString input;
    loudness::LoudnessAnalysis analysis;
};

TEST_F(LoudnessStoreTest, KeepsAnAnalysisForTheSameFileDecodedTheSameWay)
{
    LoudnessStore kept(dir.filePath(QStringLiteral("cache/loudness.sqlite")));
    EXPECT_FALSE(kept.find(input, 0));
    ASSERT_TRUE(kept.keep(input, 0, analysis));
    const std::optional<loudness::LoudnessAnalysis> found = kept.find(input, 0);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->samplePeak, analysis.samplePeak);
    EXPECT_EQ(found->truePeak, analysis.truePeak);
    ASSERT_EQ(found->blocks.size(), analysis.blocks.size());
    // Kept to a hundredth of a loudness unit per block.
    EXPECT_NEAR(found->integrated(), analysis.integrated(), 0.005);
    for (std::size_t i = 0; i < analysis.blocks.size(); ++i)
        EXPECT_NEAR(loudness::LoudnessAnalysis::lufs(found->blocks[i]),
                    loudness::LoudnessAnalysis::lufs(analysis.blocks[i]), 0.006);

    EXPECT_FALSE(kept.find(input, 0x400000)); // another decoding
    // A file that changed is another file.
    ASSERT_TRUE(testsupport::writeFile(input, QByteArray(1001, 'a')));
    EXPECT_FALSE(kept.find(input, 0));
}

TEST_F(LoudnessStoreTest, IdentifiesATrackByItsSheetAndKeepsNothingForADrive)
{
    EXPECT_EQ(LoudnessStore::identifyingFile(QStringLiteral("/m/a.cue#03")), QStringLiteral("/m/a.cue"));
    EXPECT_EQ(LoudnessStore::identifyingFile(QStringLiteral("/m/a#3.flac")), QStringLiteral("/m/a#3.flac"));
    EXPECT_EQ(LoudnessStore::identifyingFile(QStringLiteral("/m/a.flac#")), QStringLiteral("/m/a.flac#"));

    LoudnessStore kept(dir.filePath(QStringLiteral("cache/loudness.sqlite")));
    const QString sheet = dir.filePath(QStringLiteral("album.cue"));
    ASSERT_TRUE(testsupport::writeFile(sheet, "FILE \"album.flac\" WAVE\n"));
    ASSERT_TRUE(kept.keep(sheet + QStringLiteral("#02"), 0, analysis));
    EXPECT_TRUE(kept.find(sheet + QStringLiteral("#02"), 0));
    EXPECT_FALSE(kept.find(sheet + QStringLiteral("#03"), 0));
    // A disc in a drive cannot be told from the next one put in.
    EXPECT_FALSE(kept.keep(QStringLiteral("/dev/null#01"), 0, analysis));
    EXPECT_FALSE(kept.find(QStringLiteral("/dev/null#01"), 0));
}

TEST_F(LoudnessStoreTest, AStoreThatCannotBeWrittenIsOnlyACacheMissed)
{
    // A file where the store's folder should be.
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("blocked")), "x"));
    LoudnessStore blocked(dir.filePath(QStringLiteral("blocked/loudness.sqlite")));
    EXPECT_FALSE(blocked.keep(input, 0, analysis));
    EXPECT_FALSE(blocked.find(input, 0));
    // Not a database at all.
    const QString garbage = dir.filePath(QStringLiteral("garbage.sqlite"));
    ASSERT_TRUE(testsupport::writeFile(garbage, QByteArray(4096, 'z')));
    LoudnessStore broken(garbage);
    EXPECT_FALSE(broken.keep(input, 0, analysis));
    EXPECT_FALSE(broken.find(input, 0));
}

} // namespace
