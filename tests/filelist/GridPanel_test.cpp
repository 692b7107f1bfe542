#include "engine/AudioEngine.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using testsupport::ScriptedDesktop;

namespace {

class GridPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(engine::InitDecodingEngine()); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(panel.InitGrid());
        panel.setPlayerFile([this] { return sPlayerFile; });
        panel.resize(900, 300);
    }

    //! Appends rows as admission leaves them, without the engine.
    void addRows(const QStringList& names)
    {
        for (const QString& name : names) {
            filelist::FileListRow row;
            row.path = dir.filePath(name);
            row.Duration = QStringLiteral("00:01");
            row.FileSize = QStringLiteral("1 KB");
            ASSERT_TRUE(list->append(row));
        }
    }

    QStringList names() const
    {
        QStringList result;
        for (const filelist::FileListRow& row : list->rows())
            result << QFileInfo(row.path).fileName();
        return result;
    }

    void tick(int row)
    {
        ASSERT_TRUE(list->setData(list->index(row, filelist::FileList::CheckBox), Qt::Checked, Qt::CheckStateRole));
    }

    QTemporaryDir dir;
    ScriptedDesktop desktop;
    std::unique_ptr<filelist::FileList> list;
    filelist::FileAdmission admission{desktop, [this] { return list.get(); }};
    filelist::FileListPanel panel{desktop, admission, list};
    QString sPlayerFile;
};

} // namespace

TEST_F(GridPanelTest, TheGridShowsTheListWithItsColumnLayout)
{
    filelist::GridView* grid = panel.Grid;
    EXPECT_EQ(grid->objectName(), QStringLiteral("Grid"));
    EXPECT_EQ(grid->model(), list.get());
    EXPECT_TRUE(grid->isColumnHidden(filelist::FileList::ID));
    const int widths[] = {0, 33, 293, 160, 93, 80};
    for (int column = 1; column < filelist::FileList::kColumnCount; ++column)
        EXPECT_EQ(grid->columnWidth(column), widths[column]) << column;
    const QStringList captions = {" ", "File Path", "Conversion Status", "Time Length", "File Size"};
    for (int column = 1; column < filelist::FileList::kColumnCount; ++column)
        EXPECT_EQ(list->headerData(column, Qt::Horizontal).toString(), captions[column - 1]);
    EXPECT_EQ(panel.chkSelectAll->text(), QStringLiteral("Select/Unselect All"));
    EXPECT_EQ(panel.cmdRemove->text(), QStringLiteral("Remove Selected"));
    EXPECT_EQ(panel.lblQuickAddHint->text(),
              QStringLiteral("For Quick Adding:You can drag and drop audio or video files into the below list"));
    EXPECT_TRUE(grid->acceptDrops());

    // A click on a row's box ticks it in the list; nothing else is editable.
    addRows({"a.wav", "b.wav"});
    panel.show();
    const QRect box = grid->visualRect(list->index(1, filelist::FileList::CheckBox));
    QStyleOptionViewItem option;
    option.rect = box;
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect indicator = grid->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, grid);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, indicator.center());
    EXPECT_NE(list->at(1).CheckBox, 0);
    EXPECT_EQ(list->at(0).CheckBox, 0);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->visualRect(list->index(0, filelist::FileList::FilePath)).center());
    EXPECT_EQ(list->at(0).path, dir.filePath(QStringLiteral("a.wav")));
    EXPECT_EQ(grid->indexWidget(list->index(0, filelist::FileList::FilePath)), nullptr);
}

TEST_F(GridPanelTest, SelectAllTicksAndUnticksEveryRow)
{
    panel.chkSelectAll->setChecked(true); // empty list: nothing happens
    panel.chkSelectAll->setChecked(false);
    addRows({"a.wav", "b.wav", "c.wav"});
    panel.chkSelectAll->click();
    for (const filelist::FileListRow& row : list->rows())
        EXPECT_EQ(row.CheckBox, 1);
    panel.chkSelectAll->click();
    for (const filelist::FileListRow& row : list->rows())
        EXPECT_EQ(row.CheckBox, 0);
}

TEST_F(GridPanelTest, RemovalKeepsTheUntickedRowsInOrderInANewList)
{
    addRows({"a.wav", "b.wav", "c.wav", "d.wav"});
    list->setState(3, filelist::RowState::Failed);
    list->setReason(3, filelist::RowReason::words(QStringLiteral("Permission denied")));
    tick(0);
    ASSERT_TRUE(list->setCell(2, filelist::FileList::CheckBox, -1)); // any non-zero value is a tick
    panel.chkSelectAll->blockSignals(true);
    panel.chkSelectAll->setChecked(true);
    panel.chkSelectAll->blockSignals(false);
    QSignalSpy replaced(&panel, &filelist::FileListPanel::fileListReplaced);
    QSignalSpy stops(&panel, &filelist::FileListPanel::stopPlayerRequested);
    const filelist::FileList* before = list.get();

    panel.cmdRemove->click();

    ASSERT_EQ(replaced.size(), 1);
    EXPECT_NE(list.get(), before);
    EXPECT_EQ(replaced[0][0].value<filelist::FileList*>(), list.get());
    EXPECT_EQ(panel.Grid->model(), list.get());
    EXPECT_EQ(names(), (QStringList{"b.wav", "d.wav"}));
    EXPECT_EQ(list->at(1).Duration, QStringLiteral("00:01"));
    EXPECT_EQ(list->at(1).ID, 0);
    // A kept row keeps its state, its colour and its reason.
    EXPECT_EQ(list->cell(1, filelist::FileList::Status).toString(), QStringLiteral("Error"));
    EXPECT_TRUE(list->textColor(1, filelist::FileList::Status).has_value());
    EXPECT_EQ(list->statusReason(1), QStringLiteral("Permission denied"));
    EXPECT_FALSE(panel.chkSelectAll->isChecked());
    EXPECT_EQ(stops.size(), 0);
    // The new list is shown with the same layout.
    EXPECT_TRUE(panel.Grid->isColumnHidden(filelist::FileList::ID));
    EXPECT_EQ(list->headerData(filelist::FileList::FilePath, Qt::Horizontal).toString(), QStringLiteral("File Path"));
    EXPECT_EQ(panel.Grid->columnWidth(filelist::FileList::FilePath), 293);
}

// "Selected" means the ticked rows, or the highlighted ones when none is
// ticked, for the button and the Delete key alike; with neither the button
// says how to choose.
TEST_F(GridPanelTest, RemovalTakesTheTickedRowsOrElseTheHighlightedOnes)
{
    panel.cmdRemove_Click(); // empty list: nothing changes
    EXPECT_TRUE(list && list->count() == 0);
    EXPECT_TRUE(desktop.boxes.isEmpty());

    addRows({"a.wav", "b.wav", "c.wav"});
    const filelist::FileList* before = list.get();
    panel.cmdRemove_Click();
    EXPECT_EQ(list.get(), before);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Tick the files to remove first."));

    panel.Grid->selectRow(2);
    tick(0);
    panel.cmdRemove_Click(); // the tick wins over the highlight
    EXPECT_EQ(names(), (QStringList{"b.wav", "c.wav"}));
    panel.Grid->selectRow(1);
    panel.cmdRemove_Click(); // no tick: the highlighted row
    EXPECT_EQ(names(), (QStringList{"b.wav"}));

    panel.chkSelectAll->setChecked(true);
    panel.cmdRemove_Click();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(panel.Grid->model()->rowCount(), 0);
}

TEST_F(GridPanelTest, RemovingThePlayingRowStopsThePlayerFirst)
{
    addRows({"a.wav", "b.wav", "c.wav"});
    sPlayerFile = dir.filePath(QStringLiteral("b.wav"));
    int rowsWhenStopped = -1;
    QObject::connect(&panel, &filelist::FileListPanel::stopPlayerRequested, [&] { rowsWhenStopped = list->count(); });

    tick(2);
    panel.cmdRemove_Click();
    EXPECT_EQ(rowsWhenStopped, -1); // another row: playback goes on

    tick(1);
    panel.cmdRemove_Click();
    EXPECT_EQ(rowsWhenStopped, 2); // stopped while the old list was still current
    EXPECT_EQ(names(), QStringList{"a.wav"});
}

TEST_F(GridPanelTest, DoubleClickAsksForPlay)
{
    addRows({"a.wav"});
    panel.show();
    QSignalSpy play(&panel, &filelist::FileListPanel::playRequested);
    QTest::mouseDClick(panel.Grid->viewport(), Qt::LeftButton, {},
                       panel.Grid->visualRect(list->index(0, filelist::FileList::FilePath)).center());
    EXPECT_EQ(play.size(), 1);
}

TEST_F(GridPanelTest, DroppedFilesAreAdmittedInOrderAndTheRefusedNamedWithWhy)
{
    const QString tonePath = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(tonePath, 0.5, 8000, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}));
    const QString second = dir.filePath(QStringLiteral("second.wav"));
    ASSERT_TRUE(QFile::copy(tonePath, second));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QFile(dir.filePath(QStringLiteral("readme.txt"))).open(QIODevice::WriteOnly);
    panel.show();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(second), QUrl::fromLocalFile(dir.filePath(QStringLiteral("folder"))),
                  QUrl::fromLocalFile(tonePath), QUrl::fromLocalFile(dir.filePath(QStringLiteral("readme.txt"))),
                  QUrl::fromLocalFile(second)});
    QWidget* target = panel.Grid->viewport();
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());

    EXPECT_EQ(names(), (QStringList{"second.wav", "tone.wav"}));
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Some files are not supported or already exist and will not be "
                             "added\n\nfolder: not a type of file Tonemill reads\nreadme.txt: "
                             "not a type of file Tonemill reads\nsecond.wav: already in the list"));

    // Text is not a list of files: refused.
    QMimeData text;
    text.setText(tonePath);
    QDragEnterEvent textEnter(at.toPoint(), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &textEnter);
    EXPECT_FALSE(textEnter.isAccepted());
    QDropEvent textDrop(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &textDrop);
    EXPECT_EQ(list->count(), 2);
}
