#include "engine/AudioEngine.h"
#include "filelist/AddFilesActions.h"
#include "filelist/AddFilesFilters.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "filelist/ScanFolder.h"
#include "options/CheckBoxState.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"
#include "support/SuiteMedia.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::ScriptedDesktop;

namespace {

const QString kNotAdded = QStringLiteral("Some files are not supported or already exist and will not be added");
const QString kFolderEmpty = QStringLiteral("Selected Folder is empty.");

//! Also tells how many rows the list had when each message box was shown.
class WatchingDesktop : public ScriptedDesktop {
public:
    std::function<int()> rows;
    QList<int> rowsAtBox;

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override
    {
        rowsAtBox << (rows ? rows() : -1);
        return ScriptedDesktop::messageBox(text, title, icon, buttons);
    }
};

class AddFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(engine::InitDecodingEngine());
        ASSERT_TRUE(s_media.open());
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("tone.wav")), 0.5, 8000, 1,
                                          {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}));
    }
    static void TearDownTestSuite() { s_media.close(); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(panel.InitGrid());
        desktop.rows = [this] { return list ? list->count() : -1; };
    }

    //! A playable file of that name in the test's folder (or a sub-folder).
    QString tone(const QString& name) const
    {
        const QString to = dir.filePath(name);
        EXPECT_TRUE(s_media.copy(QStringLiteral("tone.wav"), to)) << qPrintable(to);
        return to;
    }

    QStringList listedPaths() const
    {
        QStringList paths;
        for (const filelist::FileListRow& row : list->rows())
            paths << row.path;
        return paths;
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const ScriptedDesktop::Box& box : desktop.boxes)
            texts << box.text;
        return texts;
    }

    QTemporaryDir dir;
    WatchingDesktop desktop;
    std::unique_ptr<filelist::FileList> list;
    filelist::FileAdmission admission{desktop, [this] { return list.get(); }};
    filelist::FileListPanel panel{desktop, admission, list};
    static inline testsupport::SuiteMedia s_media;
};

} // namespace

TEST_F(AddFilesTest, TheAudioDialogAsksWithItsFiltersAndAddsTheChosenFilesInOrder)
{
    const QStringList chosen = {tone("c.wav"), tone("a.wav"), tone("b.wav")};
    desktop.chooseFiles(chosen);
    panel.cmdAddFile->click();

    ASSERT_EQ(desktop.openFileDialogs.size(), 1);
    const ScriptedDesktop::OpenFileRequest& request = desktop.openFileDialogs.front();
    EXPECT_EQ(request.title, QStringLiteral("Select one or more audio files"));
    EXPECT_EQ(request.folderKey, QStringLiteral("AddAudioFiles"));
    EXPECT_TRUE(request.multiSelect);
    EXPECT_EQ(request.filters, filelist::addfiles::audioFileFilters());
    EXPECT_EQ(listedPaths(), chosen);
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_EQ(list->cursor(), 0);

    // One file comes back as its full path alone.
    const QString single = tone("single.wav");
    desktop.chooseFiles({single});
    panel.cmdAddFile_Click();
    EXPECT_EQ(listedPaths().last(), single);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(AddFilesTest, RefusedFilesGiveOneWarningAfterTheOthersWereAdded)
{
    const QString first = tone("first.wav");
    QFile(dir.filePath(QStringLiteral("tune.mod"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("tune.mo3"))).open(QIODevice::WriteOnly);
    const QString last = tone("last.wav");
    desktop.chooseFiles(
        {first, dir.filePath(QStringLiteral("tune.mod")), dir.filePath(QStringLiteral("tune.mo3")), last});
    panel.cmdAddFile_Click();

    EXPECT_EQ(listedPaths(), (QStringList{first, last}));
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, kNotAdded + QStringLiteral("\n\ntune.mod: not a type of file Tonemill reads\n"
                                                                "tune.mo3: not a type of file Tonemill reads"));
    EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Tonemill"));
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Exclamation);
    EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::Ok);
    EXPECT_EQ(desktop.rowsAtBox, QList<int>{2});

    // Choosing only files already in the list warns as well.
    desktop.chooseFiles({first, last});
    panel.cmdAddFile_Click();
    EXPECT_EQ(list->count(), 2);
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[1].text,
              kNotAdded + QStringLiteral("\n\nfirst.wav: already in the list\nlast.wav: already in the list"));

    // Past ten, the rest are counted.
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many << dir.filePath(QStringLiteral("n%1.txt").arg(i, 2, 10, QLatin1Char('0')));
    desktop.chooseFiles(many);
    panel.cmdAddFile_Click();
    ASSERT_EQ(desktop.boxes.size(), 3);
    EXPECT_TRUE(desktop.boxes[2].text.endsWith(QStringLiteral("\nn09.txt: could not be added\nand 2 more")))
        << qPrintable(desktop.boxes[2].text);
}

TEST_F(AddFilesTest, PastTheRowLimitTheRestIsRefusedInOneStep)
{
    for (int i = 0; i < filelist::FileList::kMaxRows - 1; ++i) {
        filelist::FileListRow row;
        row.path = QString::number(i);
        ASSERT_TRUE(list->append(row));
    }
    // One more fits; the others are missing files, each of which a probe
    // would refuse with a box of its own.
    QStringList chosen{tone("fits.wav")};
    for (int i = 0; i < 3; ++i)
        chosen << dir.filePath(QStringLiteral("missing%1.wav").arg(i));
    desktop.chooseFiles(chosen);
    panel.cmdAddFile_Click();
    EXPECT_EQ(list->count(), filelist::FileList::kMaxRows);
    EXPECT_EQ(boxTexts(),
              QStringList{QStringLiteral("32,768 rows is the most a list can hold; 3 paths were not added")});
}

TEST_F(AddFilesTest, CancelledDialogsAndOverlongAnswersChangeNothing)
{
    panel.cmdAddFile_Click();      // nothing scripted: cancelled
    panel.cmdAddVideoFile_Click(); // likewise
    panel.cmdAddFolder_Click();    // picker cancelled: empty text

    // An answer past 5000 characters fails the dialog, as a cancel does.
    QStringList many;
    for (int i = 0; i < 600; ++i)
        many << dir.filePath(QStringLiteral("file%1.wav").arg(i, 4, 10, QLatin1Char('0')));
    desktop.chooseFiles(many);
    ASSERT_TRUE(desktop.openFileAnswers.back().cancelled());
    panel.cmdAddFile_Click();

    EXPECT_EQ(desktop.openFileDialogs.size(), 3);
    EXPECT_EQ(desktop.folderPickers.size(), 1);
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(AddFilesTest, TheVideoDialogHasItsOwnTitleAndFilters)
{
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    ASSERT_TRUE(testsupport::makeTone(clip, 0.5, 8000, 1));
    desktop.chooseFiles({clip});
    panel.cmdAddVideoFile->click();
    ASSERT_EQ(desktop.openFileDialogs.size(), 1);
    EXPECT_EQ(desktop.openFileDialogs[0].title, QStringLiteral("Select one or more video files"));
    EXPECT_EQ(desktop.openFileDialogs[0].filters, filelist::addfiles::videoFileFilters());
    EXPECT_TRUE(desktop.openFileDialogs[0].multiSelect);
    EXPECT_EQ(desktop.openFileDialogs[0].folderKey, QStringLiteral("AddVideoFiles")) << "its own folder";
    EXPECT_EQ(listedPaths(), QStringList{clip});
}

TEST_F(AddFilesTest, FilesChosenInTheRootKeepASingleSlash)
{
    // Nothing can be made in "/" here: record what admission is asked instead.
    QStringList asked;
    filelist::AddFilesActions actions(desktop, [&asked](const filelist::ProbedFile& file) {
        asked << file.path;
        return qint16(1);
    });
    desktop.chooseFiles({QStringLiteral("/a.wav"), QStringLiteral("/b.mp3")});
    actions.AddFiles();
    EXPECT_EQ(asked, (QStringList{"/a.wav", "/b.mp3"}));
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(AddFilesTest, AddFolderAddsOnlyTheFilesDirectlyInsideAndWarnsWhenThereIsNone)
{
    const QString music = dir.filePath(QStringLiteral("music"));
    tone("music/one.wav");
    tone("music/.hidden.wav");
    tone("music/sub/inner.wav");
    QFile(dir.filePath(QStringLiteral("music/notes.txt"))).open(QIODevice::WriteOnly);

    desktop.folderAnswers.push_back(music);
    panel.cmdAddFolder->click();
    ASSERT_EQ(desktop.folderPickers.size(), 1);
    EXPECT_EQ(desktop.folderPickers[0].title, QStringLiteral("Select folder to add"));
    EXPECT_FALSE(desktop.folderPickers[0].newStyle);
    EXPECT_EQ(desktop.folderPickers[0].folderKey, QStringLiteral("AddFolder"));
    QStringList expected;
    for (const QString& name : filelist::ScanFolderNames(music)) {
        if (name.endsWith(QLatin1String(".wav")))
            expected << music + u'/' + name;
    }
    EXPECT_EQ(listedPaths(), expected);
    EXPECT_EQ(expected.size(), 2);
    EXPECT_EQ(boxTexts(), QStringList{kNotAdded + QStringLiteral("\n\nnotes.txt: not a type of file Tonemill reads")});

    // Only sub-folders: the empty-folder warning, nothing added.
    const QString onlyFolders = dir.filePath(QStringLiteral("only-folders"));
    tone("only-folders/deeper/x.wav");
    desktop.folderAnswers.push_back(onlyFolders);
    panel.cmdAddFolder_Click();
    EXPECT_EQ(list->count(), 2);
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[1].text, kFolderEmpty);
    EXPECT_EQ(desktop.boxes[1].icon, platform::Desktop::Icon::Exclamation);
    EXPECT_EQ(desktop.boxes[1].buttons, platform::Desktop::Buttons::Ok);
}

TEST_F(AddFilesTest, ARipFolderIsAddedAsItsTracksAndTheSummarySaysSo)
{
    const QString rip = tone("rip/rip.wav");
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("rip/rip.cue")),
                                       "FILE \"rip.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                       "TRACK 02 AUDIO\nINDEX 01 00:00:20\n"));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("rip/notes.txt")), "x"));
    desktop.folderAnswers.push_back(dir.filePath(QStringLiteral("rip")));
    panel.cmdAddFolder_Click();
    const QString sheet = dir.filePath(QStringLiteral("rip/rip.cue"));
    EXPECT_EQ(listedPaths(), (QStringList{sheet + QStringLiteral("#01"), sheet + QStringLiteral("#02")}));
    EXPECT_EQ(boxTexts(), QStringList{kNotAdded + QStringLiteral("\n\nnotes.txt: not a type of file Tonemill reads"
                                                                 "\n\nFiles added as the tracks of their "
                                                                 "CUE sheet, not by themselves: 1")});

    // Chosen without its sheet, the file is a row of its own; nothing to say.
    desktop.chooseFiles({rip});
    panel.cmdAddFile_Click();
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(desktop.boxes.size(), 1);
}

TEST_F(AddFilesTest, IncludeSubFoldersAddsTheTreeAndRowsRememberTheirFolder)
{
    options::CheckBoxState subFolders(QStringLiteral("chkSubFolders"));
    panel.actions().setSubFolderChoice(&subFolders);
    const QString music = dir.filePath(QStringLiteral("music"));
    const QStringList files = {tone("music/a.wav"), tone("music/Disc 1/b.wav"), tone("music/Disc 1/CD/c.wav")};

    // The box is offered unticked; the user ticks it, and it is remembered.
    desktop.folderAnswers.push_back(music);
    desktop.folderOptionAnswers.push_back(true);
    panel.cmdAddFolder_Click();
    ASSERT_EQ(desktop.folderPickers.size(), 1);
    EXPECT_EQ(desktop.folderPickers[0].optionText, QStringLiteral("Include sub-folders"));
    EXPECT_FALSE(desktop.folderPickers[0].optionShown);
    EXPECT_TRUE(subFolders.Value());
    EXPECT_EQ(listedPaths(), files);
    for (const filelist::FileListRow& row : list->rows())
        EXPECT_EQ(row.baseFolder, music);
    EXPECT_TRUE(desktop.boxes.isEmpty());

    // Files added one by one have no folder; a cancelled picker keeps the choice.
    desktop.chooseFiles({tone("single.wav")});
    panel.cmdAddFile_Click();
    EXPECT_TRUE(list->at(3).baseFolder.isEmpty());
    desktop.folderOptionAnswers.push_back(false);
    panel.cmdAddFolder_Click();
    EXPECT_TRUE(desktop.folderPickers[1].optionShown);
    EXPECT_TRUE(subFolders.Value());
}

TEST_F(AddFilesTest, CancelDuringTheScanAddsNothing)
{
    options::CheckBoxState subFolders(QStringLiteral("chkSubFolders"), true);
    panel.actions().setSubFolderChoice(&subFolders);
    panel.actions().setProgressDelay(0); // the box shows at once, before the scan can end
    tone("tree/a/b/c.wav");
    desktop.folderAnswers.push_back(dir.filePath(QStringLiteral("tree")));
    desktop.progressCancels.push_back(true);
    panel.cmdAddFolder_Click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(desktop.progressUpdates, 1);
    EXPECT_EQ(desktop.progressHides, 1);
    EXPECT_TRUE(desktop.boxes.isEmpty()); // neither "empty" nor "not added"

    // Not cancelled: the box stays up through admission and closes once.
    desktop.folderAnswers.push_back(dir.filePath(QStringLiteral("tree")));
    panel.cmdAddFolder_Click();
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(desktop.progressHides, 2);
}

TEST_F(AddFilesTest, AddingUnticksSelectAllAndEveryRow)
{
    desktop.chooseFiles({tone("a.wav"), tone("b.wav")});
    panel.cmdAddFile_Click();
    panel.chkSelectAll->setChecked(true);
    EXPECT_NE(list->at(0).CheckBox, 0);
    EXPECT_NE(list->at(1).CheckBox, 0);

    desktop.chooseFiles({tone("c.wav")});
    panel.cmdAddFile_Click();
    EXPECT_FALSE(panel.chkSelectAll->isChecked());
    for (const filelist::FileListRow& row : list->rows())
        EXPECT_EQ(row.CheckBox, 0) << qPrintable(row.path);
}
