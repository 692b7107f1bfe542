#include "BatchTestFolder.h"
#include "convert/OutputPath.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"

#include <QDir>

namespace {

class OutputPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        options.optSameFolder.setValue(true);
        input = dir.filePath(QStringLiteral("song.mp3"));
        ASSERT_TRUE(batchtest::writeFile(input, "x"));
    }
    QString build(const QString& in, const QString& ext) { return BuildOutputPath(desktop, options, in, ext); }
    QString path(const QString& name) const { return dir.filePath(name); }
    void touch(const QString& name) { ASSERT_TRUE(batchtest::writeFile(path(name), {})); }

    QTemporaryDir dir;
    testsupport::ScriptedDesktop desktop;
    options::FormatOptions options;
    QString input;
};

TEST_F(OutputPathTest, CollisionSequence)
{
    EXPECT_EQ(build(input, QStringLiteral("wav")), path(QStringLiteral("song.wav")));
    EXPECT_EQ(build(input, QStringLiteral("mp3")), path(QStringLiteral("song_Converted.mp3")));
    touch(QStringLiteral("song_Converted.mp3"));
    EXPECT_EQ(build(input, QStringLiteral("mp3")), path(QStringLiteral("song_Converted_0.mp3")));
    touch(QStringLiteral("song_Converted_0.mp3"));
    EXPECT_EQ(build(input, QStringLiteral("mp3")), path(QStringLiteral("song_Converted_1.mp3")));

    const QString take = path(QStringLiteral("take_Converted.mp3"));
    ASSERT_TRUE(batchtest::writeFile(take, "x"));
    EXPECT_EQ(build(take, QStringLiteral("mp3")), path(QStringLiteral("take_Converted_0.mp3")));
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(OutputPathTest, AnythingTakesANameAndEveryNumberCanBeUsedUp)
{
    // A folder of the name takes it too: the output could never get it.
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("song.wav"))));
    EXPECT_EQ(build(input, QStringLiteral("wav")), path(QStringLiteral("song_Converted.wav")));

    // A link counts even when it points nowhere.
    ASSERT_TRUE(QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("song.ogg"))));
    EXPECT_EQ(build(input, QStringLiteral("ogg")), path(QStringLiteral("song_Converted.ogg")));

    touch(QStringLiteral("song_Converted.mp3"));
    for (int i = 0; i <= 10000; ++i)
        touch(QStringLiteral("song_Converted_%1.mp3").arg(i));
    EXPECT_EQ(build(input, QStringLiteral("mp3")), QString());
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(OutputPathTest, OtherFolderIsMadeOneLevelDeep)
{
    options.optOtherFolder.setValue(true);
    options.txtOutPath.setText(path(QStringLiteral("out")));
    EXPECT_EQ(build(input, QStringLiteral("wav")), path(QStringLiteral("out/song.wav")));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("out"))).isDir());

    options.txtOutPath.setText(path(QStringLiteral("out/")));
    EXPECT_EQ(build(input, QStringLiteral("wav")), path(QStringLiteral("out/song.wav")));
    EXPECT_TRUE(desktop.boxes.isEmpty());

    // Two missing levels cannot be made: the box, and no path.
    options.txtOutPath.setText(path(QStringLiteral("a/b")));
    EXPECT_EQ(build(input, QStringLiteral("wav")), QString());
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Output Folder is not exist and can not be created."));
    EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Tonemill"));
    EXPECT_EQ(desktop.boxes[0].icon, Desktop::Icon::Critical);
    EXPECT_EQ(desktop.boxes[0].buttons, Desktop::Buttons::Ok);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("a"))));

    // A file where the folder should be.
    touch(QStringLiteral("plain"));
    options.txtOutPath.setText(path(QStringLiteral("plain")));
    EXPECT_EQ(build(input, QStringLiteral("wav")), QString());
    EXPECT_EQ(desktop.boxes.size(), 2);
}

} // namespace
