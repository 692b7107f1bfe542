#include "engine/AudioEngine.h"
#include "filelist/WmaSupport.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class WmaSupportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(InitDecodingEngine()); }
};

TEST_F(WmaSupportTest, AWorkingEncoderLeavesAnEmptyWmaFileInTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(CheckWMASupport(dir.path()));
    const QString probe = dir.filePath(QStringLiteral("CheckWMASupport.wma"));
    ASSERT_TRUE(QFileInfo::exists(probe));

    // A valid file: ffprobe reads it as WMA (ASF container, wmav2) with no audio.
    QByteArray out;
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("ffprobe"),
                                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                       QStringLiteral("stream=codec_name,sample_rate,channels:format=format_name"),
                                       QStringLiteral("-of"), QStringLiteral("default=nw=1"), probe},
                                      &out),
              0);
    EXPECT_TRUE(out.contains("codec_name=wmav2")) << out.constData();
    EXPECT_TRUE(out.contains("sample_rate=44100")) << out.constData();
    EXPECT_TRUE(out.contains("channels=2")) << out.constData();
    EXPECT_TRUE(out.contains("format_name=asf")) << out.constData();

    // Every probe makes the file anew.
    ASSERT_TRUE(CheckWMASupport(dir.path()));
    EXPECT_TRUE(QFileInfo::exists(probe));
}

TEST_F(WmaSupportTest, AFolderThatCannotBeWrittenMeansNoSupport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(CheckWMASupport(dir.filePath(QStringLiteral("no/such/folder"))));
    EXPECT_FALSE(CheckWMASupport(QString()));
    // A folder standing where the probe file should go.
    QTemporaryDir blocked;
    ASSERT_TRUE(QDir(blocked.path()).mkdir(QStringLiteral("CheckWMASupport.wma")));
    EXPECT_FALSE(CheckWMASupport(blocked.path()));

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the super-user";
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    EXPECT_FALSE(CheckWMASupport(dir.path()));
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
}

} // namespace
