#include "engine/Bass.h"
#include "filelist/FileList.h"
#include "filelist/GridRowHeaderView.h"
#include "filelist/GridView.h"
#include "player/PlayerPanel.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"
#include "support/SinkTest.h"
#include "support/SuiteMedia.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using player::Player;
using testsupport::ScriptedDesktop;

namespace {

constexpr double kToneRms = 1000; // the test tones are at an eighth of full scale, about 2000

// Rows 0 to 2 play 20-second tones of 330, 440 and 550 Hz, row 3 is a file
// no opener takes, row 4 a 0.6-second tone of 660 Hz.
class PlayerPanelTest : public testsupport::SinkTest {
protected:
    static void SetUpTestSuite()
    {
        SinkTest::SetUpTestSuite();
        s_made = s_media.open();
        for (int i = 0; i < 3; ++i)
            s_made = s_made && testsupport::makeTone(path(i), 20, 44100, 2, {}, 330 + 110 * i);
        s_made = s_made && testsupport::makeTone(path(4), 0.6, 44100, 2, {}, 660);
        s_made = s_made && testsupport::writeFile(path(3), "not audio at all");
    }

    static void TearDownTestSuite()
    {
        s_media.close();
        SinkTest::TearDownTestSuite();
    }

    static QString path(int row) { return s_media.filePath(QStringLiteral("row %1.wav").arg(row)); }

    void SetUp() override
    {
        SinkTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(s_made);
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
        for (int row = 0; row < 5; ++row) {
            filelist::FileListRow entry;
            entry.path = path(row);
            ASSERT_TRUE(list.append(entry));
        }
        grid.bindList(&list);
        panel = std::make_unique<player::PlayerPanel>(desktop, &grid);
    }

    void TearDown() override
    {
        panel.reset();
        BASS_Free();
    }

    Player& player() { return panel->player(); }
    QString pauseCaption() const { return panel->cmdPause->text(); }

    //! Clicks a row's path cell, as the user does before pressing Play.
    void clickRow(int row)
    {
        grid.selectionModel()->setCurrentIndex(list.index(row, filelist::FileList::FilePath),
                                               QItemSelectionModel::ClearAndSelect);
    }

    static double heard() { return SinkTest::heard(kToneRms); }

    static inline testsupport::SuiteMedia s_media;
    static inline bool s_made = false;

    ScriptedDesktop desktop;
    filelist::FileList list;
    filelist::GridView grid;
    std::unique_ptr<player::PlayerPanel> panel;
};

} // namespace

TEST_F(PlayerPanelTest, PlayPauseResumeAndStopAreHeardAndTheCaptionFollows)
{
    panel->cmdPause->click(); // idle: Pause and Stop do nothing
    panel->cmdStop->click();
    EXPECT_EQ(pauseCaption(), QStringLiteral("Pause"));

    clickRow(1);
    panel->cmdPlay->click();
    EXPECT_EQ(player().sPlayerFile(), path(1));
    EXPECT_NEAR(heard(), 440, 15);

    panel->cmdPause->click();
    EXPECT_EQ(pauseCaption(), QStringLiteral("Resume"));
    EXPECT_EQ(heard(), 0);
    panel->applyCaptions(); // a language change keeps offering to resume
    EXPECT_EQ(pauseCaption(), QStringLiteral("Resume"));
    panel->cmdPause->click();
    EXPECT_EQ(pauseCaption(), QStringLiteral("Pause"));
    EXPECT_NEAR(heard(), 440, 15);

    // Paused, Play starts the row again from its beginning.
    panel->cmdPause->click();
    panel->cmdPlay->click();
    EXPECT_EQ(pauseCaption(), QStringLiteral("Pause"));
    EXPECT_LT(BASS_ChannelGetPosition(player().hPlayChannel(), BASS_POS_BYTE), 44100u * 4);
    EXPECT_NEAR(heard(), 440, 15);

    panel->cmdStop->click();
    EXPECT_EQ(player().hPlayChannel(), 0u);
    EXPECT_EQ(player().sPlayerFile(), path(1)); // kept for Next and Previous
    EXPECT_EQ(heard(), 0);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

// The row played shows a play sign beside its number (a pause sign while
// paused), and beside the buttons the time it has played of its length.
TEST_F(PlayerPanelTest, ThePlayedRowIsMarkedAndItsTimeShown)
{
    using Mark = filelist::GridRowHeaderView::Mark;
    const filelist::GridRowHeaderView* header = grid.rowHeader();
    EXPECT_EQ(header->playingRow(), -1);
    EXPECT_TRUE(panel->lblPlayTime->text().isEmpty());

    clickRow(1);
    panel->cmdPlay->click();
    EXPECT_EQ(header->playingRow(), 1);
    EXPECT_EQ(header->mark(), Mark::Playing);
    QTest::qWait(1300);
    EXPECT_NEAR(player().elapsedSeconds(), 1.3, 0.6);
    EXPECT_NEAR(player().lengthSeconds(), 20, 0.05);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^00:0[012] / 00:20$")).match(panel->lblPlayTime->text()).hasMatch())
        << panel->lblPlayTime->text().toStdString();

    panel->cmdPause->click();
    EXPECT_EQ(header->playingRow(), 1);
    EXPECT_EQ(header->mark(), Mark::Paused);
    const QString paused = panel->lblPlayTime->text();
    QTest::qWait(600);
    EXPECT_EQ(panel->lblPlayTime->text(), paused) << "the time stands while paused";

    panel->cmdPlayNext->click();
    EXPECT_EQ(header->playingRow(), 2);
    EXPECT_EQ(header->mark(), Mark::Playing);

    panel->cmdStop->click();
    EXPECT_EQ(header->playingRow(), -1);
    EXPECT_TRUE(panel->lblPlayTime->text().isEmpty());

    // A row that cannot be played is not marked.
    clickRow(3);
    panel->cmdPlay->click();
    EXPECT_EQ(header->playingRow(), -1);
}

TEST_F(PlayerPanelTest, NextAndPreviousStepThroughTheRowsAndStopAtTheEnds)
{
    panel->cmdPlayNext->click(); // nothing was played yet
    EXPECT_EQ(player().hPlayChannel(), 0u);

    clickRow(0);
    panel->cmdPlay->click();
    EXPECT_NEAR(heard(), 330, 15);
    panel->cmdPlayPrev->click(); // first row: the playback goes on
    panel->cmdPlayNext->click();
    EXPECT_NEAR(heard(), 440, 15);
    panel->cmdPlayNext->click();
    EXPECT_NEAR(heard(), 550, 15);
    EXPECT_EQ(grid.currentIndex().row(), 2); // the active row follows, so Play replays it
    panel->cmdPlay->click();
    EXPECT_EQ(player().sPlayerFile(), path(2));

    // After Stop, Next goes on from the row started last. The broken file
    // plays nothing and shows nothing, and Next goes on from it.
    panel->cmdStop->click();
    panel->cmdPlayNext->click();
    EXPECT_EQ(player().sPlayerFile(), path(3));
    EXPECT_EQ(player().hPlayChannel(), 0u);
    EXPECT_EQ(heard(), 0);
    EXPECT_TRUE(desktop.boxes.isEmpty());
    panel->cmdPlayNext->click();
    recorder().wait(1000); // the short tone starts again at its end
    EXPECT_NEAR(heard(), 660, 20);

    // Paused on the last row, Next changes only the caption.
    panel->cmdPause->click();
    const QModelIndexList selected = grid.selectionModel()->selectedIndexes();
    ASSERT_FALSE(selected.isEmpty());
    panel->cmdPlayNext->click();
    EXPECT_EQ(pauseCaption(), QStringLiteral("Pause"));
    EXPECT_EQ(grid.selectionModel()->selectedIndexes(), selected);
    EXPECT_EQ(player().sPlayerFile(), path(4));
    EXPECT_EQ(BASS_ChannelIsActive(player().hPlayChannel()), BASS_ACTIVE_PAUSED);
    panel->cmdPlayPrev->click();
    EXPECT_EQ(player().sPlayerFile(), path(3));
}

TEST_F(PlayerPanelTest, PlayTakesTheLowestOfTheActiveRowAndTheSelection)
{
    clickRow(0);
    grid.selectionModel()->select(list.index(2, filelist::FileList::Status), QItemSelectionModel::Select);
    panel->cmdPlay->click();
    EXPECT_EQ(player().sPlayerFile(), path(2));
    EXPECT_TRUE(grid.selectionModel()->isSelected(list.index(0, filelist::FileList::CheckBox)));

    // Double-click plays only while Play is enabled.
    clickRow(1);
    panel->cmdPlay->setEnabled(false);
    panel->playFromGrid();
    EXPECT_EQ(player().sPlayerFile(), path(2));
    panel->cmdPlay->setEnabled(true);
    panel->playFromGrid();
    EXPECT_EQ(player().sPlayerFile(), path(1));

    // A path no row holds any more: Next and Previous find nothing.
    list.setCell(1, filelist::FileList::FilePath, path(1) + QStringLiteral(".gone"));
    panel->cmdPlayNext->click();
    panel->cmdPlayPrev->click();
    EXPECT_EQ(player().sPlayerFile(), path(1));
}

TEST_F(PlayerPanelTest, EngineRefusalsShowTheErrorCodeBox)
{
    // The "no sound" output opens files but cannot play them.
    ASSERT_TRUE(BASS_Free());
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    clickRow(0);
    panel->cmdPlay->click();
    EXPECT_NE(player().hPlayChannel(), 0u); // kept although it does not play
    ASSERT_EQ(desktop.boxes.size(), 1);
    // The lookup drops the default's trailing blank.
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("(Error code:%1)").arg(BASS_ERROR_NOTAVAIL));
    EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Tonemill"));
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Critical);

    panel->cmdPause->click(); // refused as well; the caption changes anyway
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(pauseCaption(), QStringLiteral("Resume"));
}
