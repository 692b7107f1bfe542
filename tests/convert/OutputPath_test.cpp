#include "BatchTestFolder.h"
#include "convert/OutputPath.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"

#include <QDir>
#include <QFileInfo>

namespace {

class OutputPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        options.optSameFolder.setValue(true);
        input = dir.filePath(QStringLiteral("song.mp3"));
        ASSERT_TRUE(testsupport::writeFile(input, "x"));
    }
    QString build(const QString& in, const QString& ext) { return convert::BuildOutputPath(desktop, options, in, ext); }
    QString path(const QString& name) const { return dir.filePath(name); }
    void touch(const QString& name) { ASSERT_TRUE(testsupport::writeFile(path(name), {})); }

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
    ASSERT_TRUE(testsupport::writeFile(take, "x"));
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
    for (int i = 0; i < 10000; ++i)
        touch(QStringLiteral("song_Converted_%1.mp3").arg(i));
    EXPECT_EQ(build(input, QStringLiteral("mp3")), path(QStringLiteral("song_Converted_10000.mp3")));
    touch(QStringLiteral("song_Converted_10000.mp3"));
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
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Critical);
    EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::Ok);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("a"))));

    // A file where the folder should be.
    touch(QStringLiteral("plain"));
    options.txtOutPath.setText(path(QStringLiteral("plain")));
    EXPECT_EQ(build(input, QStringLiteral("wav")), QString());
    EXPECT_EQ(desktop.boxes.size(), 2);
}

TEST_F(OutputPathTest, TracksOfASheetOrADriveAreNamedAsCdTracksWere)
{
    EXPECT_EQ(convert::OutputBaseName(QStringLiteral("/m/a.b.flac")), QStringLiteral("a.b"));
    EXPECT_EQ(convert::OutputBaseName(QStringLiteral("/m/noext")), QStringLiteral("noext"));
    EXPECT_EQ(convert::OutputBaseName(QStringLiteral("/m/a.flac#03")), QStringLiteral("a"));
    const QString track = path(QStringLiteral("album.cue#07"));
    EXPECT_EQ(convert::OutputBaseName(track), QStringLiteral("Track07"));
    // Beside the sheet, with the usual collision rule.
    EXPECT_EQ(build(track, QStringLiteral("wav")), path(QStringLiteral("Track07.wav")));
    touch(QStringLiteral("Track07.wav"));
    EXPECT_EQ(build(track, QStringLiteral("wav")), path(QStringLiteral("Track07_Converted.wav")));

    // A drive has no folder to write to: its tracks go to the output folder.
    const QString drive = QStringLiteral("/dev/loop0");
    if (!QFileInfo(drive).exists())
        GTEST_SKIP() << "no block device to stand for a drive";
    options.txtOutPath.setText(path(QStringLiteral("out")));
    EXPECT_EQ(build(drive + QStringLiteral("#02"), QStringLiteral("wav")), path(QStringLiteral("out/Track02.wav")));
}

TEST(RelativeFolder, TheInputsFolderInsideItsBase)
{
    const struct {
        const char* input;
        const char* base;
        const char* expected;
    } cases[] = {
        {"/m/Artist/Album/a.mp3", "/m", "Artist/Album"},
        {"/m/Artist/Album/a.mp3", "/m/", "Artist/Album"},
        {"/m/a.mp3", "/m", ""},
        {"/m/a.mp3", "", ""},
        {"/mx/a/b.mp3", "/m", ""},     // a sibling whose name begins alike
        {"/m/../etc/b.mp3", "/m", ""}, // a path that climbs goes nowhere
        {"/Artist/b.mp3", "/", "Artist"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert::RelativeFolder(QString::fromUtf8(c.input), QString::fromUtf8(c.base)),
                  QString::fromUtf8(c.expected))
            << c.input;
}

class KeepTreeTest : public OutputPathTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(engine::InitDecodingEngine()); } // the tag reader opens files with it
    void SetUp() override
    {
        OutputPathTest::SetUp();
        options.optOtherFolder.click();
        options.chkKeepTree.setValue(true);
        options.txtOutPath.setText(path(QStringLiteral("out")));
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("lib/A/B/C"))));
    }
    QString inTree(const QString& relative, const QString& ext = QStringLiteral("wav"))
    {
        return convert::BuildOutputPath(desktop, options,
                                        {path(QStringLiteral("lib/")) + relative, path(QStringLiteral("lib")), ext});
    }
};

TEST_F(KeepTreeTest, OutputsMirrorTheTreeAndFoldersAreMadeAtAnyDepth)
{
    EXPECT_EQ(inTree(QStringLiteral("top.mp3")), path(QStringLiteral("out/top.wav")));
    EXPECT_EQ(inTree(QStringLiteral("A/B/C/deep.mp3")), path(QStringLiteral("out/A/B/C/deep.wav")));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("out/A/B/C"))).isDir());
    // Added by itself: straight into the output folder.
    EXPECT_EQ(convert::BuildOutputPath(desktop, options,
                                       {path(QStringLiteral("lib/A/x.mp3")), QString(), QStringLiteral("wav")}),
              path(QStringLiteral("out/x.wav")));
    // Without the option, or with "Same folder as input file", no tree.
    options.chkKeepTree.setValue(false);
    EXPECT_EQ(inTree(QStringLiteral("A/y.mp3")), path(QStringLiteral("out/y.wav")));
    options.chkKeepTree.setValue(true);
    options.optSameFolder.click();
    EXPECT_EQ(inTree(QStringLiteral("A/y.mp3")), path(QStringLiteral("lib/A/y.wav")));
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(KeepTreeTest, CollisionsAreCountedInEachFolder)
{
    touch(QStringLiteral("lib/A/B/s.mp3"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("out/A"))));
    touch(QStringLiteral("out/A/s.mp3"));
    EXPECT_EQ(inTree(QStringLiteral("A/s.mp3"), QStringLiteral("mp3")), path(QStringLiteral("out/A/s_Converted.mp3")));
    EXPECT_EQ(inTree(QStringLiteral("A/B/s.mp3"), QStringLiteral("mp3")), path(QStringLiteral("out/A/B/s.mp3")));
}

TEST_F(KeepTreeTest, AFolderThatIsALinkOrAFileIsNotEntered)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("out"))));
    ASSERT_TRUE(QFile::link(elsewhere.path(), path(QStringLiteral("out/A"))));
    EXPECT_EQ(inTree(QStringLiteral("A/B/s.mp3")), QString());
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    touch(QStringLiteral("out/F"));
    EXPECT_EQ(convert::BuildOutputPath(
                  desktop, options,
                  {path(QStringLiteral("lib/F/s.mp3")), path(QStringLiteral("lib")), QStringLiteral("wav")}),
              QString());
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Output Folder is not exist and can not be created."));
}

TEST_F(KeepTreeTest, NamesFromTagsGoBelowTheMirroredFolder)
{
    const QString tagged = path(QStringLiteral("lib/A/track.flac"));
    ASSERT_TRUE(testsupport::makeTone(tagged, 0.1, 8000, 1,
                                      {QStringLiteral("-metadata"), QStringLiteral("artist=Nina/Vale"),
                                       QStringLiteral("-metadata"), QStringLiteral("title=../Harbour"),
                                       QStringLiteral("-metadata"), QStringLiteral("track=3")}));
    options.chkNamePattern.setValue(true);
    options.txtNamePattern.setText(QStringLiteral("{artist}/{track:02} {title}"));
    EXPECT_EQ(inTree(QStringLiteral("A/track.flac")), path(QStringLiteral("out/A/Nina_Vale/03 .._Harbour.wav")));
    touch(QStringLiteral("out/A/Nina_Vale/03 .._Harbour.wav"));
    EXPECT_EQ(inTree(QStringLiteral("A/track.flac")),
              path(QStringLiteral("out/A/Nina_Vale/03 .._Harbour_Converted.wav")));
    // Without the tags the pattern names, the input's own name.
    options.txtNamePattern.setText(QStringLiteral("{album}/{title}"));
    EXPECT_EQ(inTree(QStringLiteral("A/track.flac")), path(QStringLiteral("out/A/track.wav")));

    // A pattern that cannot be used is refused before a batch, with its reason.
    EXPECT_TRUE(convert::CheckOutputNaming(desktop, options));
    options.txtNamePattern.setText(QStringLiteral("../{title}"));
    EXPECT_FALSE(convert::CheckOutputNaming(desktop, options));
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("\"..\"")));
    options.chkNamePattern.setValue(false);
    EXPECT_TRUE(convert::CheckOutputNaming(desktop, options));
}

} // namespace
