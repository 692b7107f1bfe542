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
    EXPECT_EQ(window.currentList()->at(0).Status, QStringLiteral("Complete"));
    for (QPushButton* button : buttons)
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(heard(), 0);
}

TEST_F(WindowPlayerTest, ClosingTheWindowDuringABatchCancelsEveryRunningRowThenCloses)
{
    options::FormatOptions& options = convertToWavIn(QStringLiteral("closed"));
    options.sliderSimultaneous.setMax(2);
    options.sliderSimultaneous.setValue(2);
    bool closed = false;
    desktop.onProcessEvents = [&] {
        if (!closed) {
            closed = true;
            window.close(); // as the window manager asks: refused until the batch has unwound
            EXPECT_TRUE(window.isVisible());
        }
    };
    window.convertPanel->cmdConvert->click();

    EXPECT_TRUE(closed);
    EXPECT_FALSE(window.isVisible());
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(window.currentList()->at(row).Status, QStringLiteral("Cancelled")) << row;
}
