#include "app/MainWindow.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "engine/Bass.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "options/FormatOptions.h"
#include "player/PlayerPanel.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"
#include "support/SinkTest.h"
#include "support/SuiteMedia.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <algorithm>
#include <gtest/gtest.h>

using testsupport::ScriptedDesktop;

namespace {

constexpr double kToneRms = 1000;

// The player in the real window: its engine plays into a null sink of this
// program's own, and the window keeps its settings in a folder of its own.
class WindowPlayerTest : public testsupport::SinkTest {
protected:
    static void SetUpTestSuite()
    {
        SinkTest::SetUpTestSuite();
        s_made = s_media.open();
        qputenv("TONEMILL_HOME", s_media.filePath(QStringLiteral("home")).toUtf8());
        qputenv("XDG_CONFIG_HOME", s_media.filePath(QStringLiteral("config")).toUtf8());
        s_made = s_made && testsupport::makeTone(tone(330), 20, 44100, 2, {}, 330) &&
                 testsupport::makeTone(tone(440), 20, 44100, 2, {}, 440);
    }

    static void TearDownTestSuite()
    {
        s_media.close();
        SinkTest::TearDownTestSuite();
    }

    static QString tone(int frequency) { return s_media.filePath(QStringLiteral("tone%1.wav").arg(frequency)); }

    void SetUp() override
    {
        SinkTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(s_made);
        ASSERT_TRUE(window.Form_Load());
        window.show();
        for (int frequency : {330, 440}) {
            QString path = tone(frequency);
            ASSERT_EQ(window.admission().AddFile2Grid(path), 1);
        }
    }

    void TearDown() override { window.close(); } // frees the engine

    void playRow(int row)
    {
        filelist::GridView* grid = window.filesPanel->Grid;
        grid->selectionModel()->setCurrentIndex(grid->model()->index(row, filelist::FileList::FilePath),
                                                QItemSelectionModel::ClearAndSelect);
        window.playerPanel->cmdPlay->click();
    }

    void removeRow(int row)
    {
        window.currentList()->setCell(row, filelist::FileList::CheckBox, 1);
        window.filesPanel->cmdRemove->click();
    }

    //! Sets the window to convert to WAV files in `folder` of the suite's folder.
    options::FormatOptions& convertToWavIn(const QString& folder)
    {
        options::FormatOptions& options = window.formatOptions();
        options.optFileFormat(options::FormatOptions::WAV).setValue(true);
        options.optOtherFolder.setValue(true);
        options.txtOutPath.setText(s_media.filePath(folder));
        return options;
    }

    static double heard() { return SinkTest::heard(kToneRms); }

    static inline testsupport::SuiteMedia s_media;
    static inline bool s_made = false;

    ScriptedDesktop desktop;
    app::MainWindow window{desktop};
};

} // namespace

TEST_F(WindowPlayerTest, RemovingTheRowLastStartedStopsPlaybackAndOtherRowsDoNot)
{
    playRow(1);
    EXPECT_NEAR(heard(), 440, 15);
    removeRow(0);
    EXPECT_NEAR(heard(), 440, 15);
    EXPECT_NE(window.playerPanel->player().hPlayChannel(), 0u);

    window.playerPanel->cmdPause->click();
    removeRow(0);
    EXPECT_EQ(window.currentList()->count(), 0);
    EXPECT_EQ(window.playerPanel->player().hPlayChannel(), 0u);
    EXPECT_EQ(window.playerPanel->cmdPause->text(), QStringLiteral("Pause"));
    EXPECT_EQ(heard(), 0);
}

TEST_F(WindowPlayerTest, ABatchStopsPlaybackAndDisablesThePlayerButtonsWhileItRuns)
{
    convertToWavIn(QStringLiteral("out"));

    playRow(0);
    ASSERT_NEAR(heard(), 330, 15);
    QList<QPushButton*> buttons = window.playerPanel->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 5);
    int enabledDuringBatch = -1;
    double heardDuringBatch = -1;
    desktop.onProcessEvents = [&] {
        if (enabledDuringBatch >= 0)
            return;
        enabledDuringBatch = int(std::count_if(buttons.begin(), buttons.end(), [](auto* b) { return b->isEnabled(); }));
        heardDuringBatch = heard();
    };
    window.convertPanel->cmdConvert->click();

    EXPECT_EQ(enabledDuringBatch, 0);
    EXPECT_EQ(heardDuringBatch, 0);
    EXPECT_EQ(window.currentList()->at(0).state, filelist::RowState::Complete);
    for (QPushButton* button : buttons)
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(heard(), 0);
}

TEST_F(WindowPlayerTest, AWindowManagerCloseDuringABatchIsRefusedAndTheBatchGoesOn)
{
    convertToWavIn(QStringLiteral("refused"));
    int closes = 0;
    desktop.onProcessEvents = [&] {
        if (closes++ == 0)
            window.close(); // as the window manager asks (Alt+F4)
    };
    window.convertPanel->cmdConvert->click();

    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Please Stop Conversion first."));
    EXPECT_TRUE(window.isVisible());
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(window.currentList()->at(row).state, filelist::RowState::Complete) << row;
}

TEST_F(WindowPlayerTest, AnEndingSessionStopsTheBatchKeepsStoppedFilesAndCloses)
{
    // MP3: slow enough that the rows are still converting when the session ends.
    convertToWavIn(QStringLiteral("ended")).optFileFormat(options::FormatOptions::MP3).setValue(true);
    bool ended = false;
    desktop.onProcessEvents = [&] {
        if (!ended) {
            ended = true;
            window.endSession(true);
            EXPECT_TRUE(window.isVisible()); // closes once the batch has unwound
        }
    };
    window.convertPanel->cmdConvert->click();

    EXPECT_TRUE(ended);
    EXPECT_FALSE(window.isVisible());
    const filelist::FileListRow& row = window.currentList()->at(0);
    EXPECT_EQ(row.state, filelist::RowState::Cancelled);
    EXPECT_TRUE(row.outputPath.contains(QStringLiteral("(stopped at "))) << qPrintable(row.outputPath);
    EXPECT_TRUE(QFile::exists(row.outputPath));
    EXPECT_FALSE(QFile::exists(s_media.filePath(QStringLiteral("ended/tone330.mp3"))));
}
