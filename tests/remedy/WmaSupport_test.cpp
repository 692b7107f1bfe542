#include "engine/AudioEngine.h"
#include "engine/WmaCodec.h"
#include "remedy/WmaSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class WmaSupportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(engine::InitDecodingEngine()); }
    void TearDown() override
    {
        qunsetenv("TONEMILL_HOME");
        qunsetenv(engine::kNoWmaEncoderVariable);
    }
    static QStringList content(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

// The probe opens a real encoder, and whatever it wrote is gone afterwards.
TEST_F(WmaSupportTest, TheProbeAnswersWhetherTheEncoderWorksAndLeavesNothingBehind)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    EXPECT_TRUE(remedy::CheckWMASupport(scratch.path()));
    EXPECT_TRUE(content(scratch.path()).isEmpty());

    qputenv(engine::kNoWmaEncoderVariable, "1");
    EXPECT_FALSE(remedy::CheckWMASupport(scratch.path()));
    EXPECT_FALSE(remedy::CheckWMASupport());
    EXPECT_TRUE(content(scratch.path()).isEmpty());

    // Nothing of the missing encoder is remembered.
    qunsetenv(engine::kNoWmaEncoderVariable);
    EXPECT_TRUE(remedy::CheckWMASupport(scratch.path()));
}

// An installed copy: the program folder cannot be written, WMA still works.
TEST_F(WmaSupportTest, AProgramFolderThatCannotBeWrittenDoesNotMatter)
{
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(program.path()).constData(), 0500), 0);
    qputenv("TONEMILL_HOME", program.path().toUtf8());
    EXPECT_TRUE(remedy::CheckWMASupport());
    EXPECT_TRUE(content(program.path()).isEmpty());
    // A program folder that does not exist at all binds even the super-user.
    qputenv("TONEMILL_HOME", program.filePath(QStringLiteral("no/such/folder")).toUtf8());
    EXPECT_TRUE(remedy::CheckWMASupport());
    ::chmod(QFile::encodeName(program.path()).constData(), 0700);
}

TEST_F(WmaSupportTest, AScratchFolderThatCannotBeWrittenMeansNoSupport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(remedy::CheckWMASupport(dir.filePath(QStringLiteral("no/such/folder"))));
    EXPECT_FALSE(remedy::CheckWMASupport(QString()));
    // A file where the folder should be.
    QFile file(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_FALSE(remedy::CheckWMASupport(file.fileName()));
}

} // namespace
