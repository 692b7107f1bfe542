#include "app/AboutPanel.h"
#include "app/DragPanel.h"
#include "app/MainWindow.h"
#include "app/QtPanelSlide.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "engine/Bass.h"
#include "filelist/FileListPanel.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "options/OutputFolderWidget.h"
#include "support/ProgramFolderEnvironment.h"
#include "support/ScriptedDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using testsupport::ScriptedDesktop;

// Every window of these tests keeps its settings store, language choice and
// probe file in a program folder of its own.
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new testsupport::ProgramFolderEnvironment);

// Records the order of the start-up and close steps; the engine step is
// scripted so the order can be checked without a sound device.
class RecordingWindow : public app::MainWindow {
public:
    using app::MainWindow::MainWindow;

    QStringList steps;
    bool engineStarts = true;
    bool wmaSupported = true;

protected:
    void InitInterface() override
    {
        steps << QStringLiteral("InitInterface:%1").arg(bLoading);
        app::MainWindow::InitInterface();
    }
    bool StartAudioEngine() override
    {
        steps << QStringLiteral("InitAudioEngine");
        return engineStarts;
    }
    void LoadSettings() override { steps << QStringLiteral("LoadSettings:%1").arg(bLoading); }
    bool CheckWMASupport() override
    {
        steps << QStringLiteral("CheckWMASupport:%1").arg(bLoading);
        return wmaSupported;
    }
    void ShowWMANotice() override { steps << QStringLiteral("ShowWMANotice"); }
    void SaveSettings() override { steps << QStringLiteral("SaveSettings"); }
    void FreeAudioEngine() override { steps << QStringLiteral("FreeAudioEngine"); }
};

// A window started up and shown, as the user first sees it, with the record
// of its start-up steps emptied.
class MainWindowShown : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Form_Load());
        window.show();
        window.steps.clear();
    }

    ScriptedDesktop desktop;
    RecordingWindow window{desktop};
};

TEST(MainWindow, StartsUpInOrderWithTheLoadingFlagSetUntilSettingsAreLoaded)
{
    ScriptedDesktop desktop;
    RecordingWindow window(desktop);
    window.wmaSupported = false;
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.steps, (QStringList{"InitInterface:1", "InitAudioEngine", "LoadSettings:1", "CheckWMASupport:0",
                                         "ShowWMANotice"}));
    EXPECT_FALSE(window.bLoading);
    EXPECT_EQ(window.lblTitle->text(), QStringLiteral("Tonemill"));
    EXPECT_EQ(window.height(), 8655 / 15);
    EXPECT_EQ(window.frMain->size(), window.size());
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.objectName(), QStringLiteral("frmMain"));
}

TEST(MainWindow, EngineFailureEndsStartUpBeforeSettingsAndSavesNothing)
{
    ScriptedDesktop desktop;
    RecordingWindow window(desktop);
    window.engineStarts = false;
    EXPECT_FALSE(window.Form_Load());
    EXPECT_EQ(window.steps, (QStringList{"InitInterface:1", "InitAudioEngine"}));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowShown, CloseButtonRefusesWhileABatchRunsAndOtherwiseSavesBeforeFreeing)
{
    window.conversion.bConverting = true;
    window.cmdClose->click();
    window.cmdClose->click();
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Please Stop Conversion first."));
    EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Tonemill"));
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Exclamation);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.conversion.bCancelConversion);
    EXPECT_TRUE(window.steps.isEmpty());

    window.conversion.bConverting = false;
    window.cmdClose->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.steps, (QStringList{"SaveSettings", "FreeAudioEngine"}));
}

TEST_F(MainWindowShown, OutsideCloseDuringABatchIsRefusedAsTheCloseButtonRefusesIt)
{
    window.conversion.bConverting = true;
    window.close(); // as the window manager would ask (Alt+F4)
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Please Stop Conversion first."));
    EXPECT_FALSE(window.conversion.bCancelConversion); // the batch goes on
    EXPECT_TRUE(window.steps.isEmpty()) << "the engine must not be freed under a running batch";

    window.conversion.bConverting = false;
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.steps, (QStringList{"SaveSettings", "FreeAudioEngine"}));
}

// A window move starts only on a real drag with the left button from the
// title strip or the panel's ground, never from a text, a link or a
// control, and never from a quick press; a release that comes back to the
// window ends the move.
TEST(MainWindow, OnlyARealDragFromTheTitleOrTheGroundMovesTheWindow)
{
    ScriptedDesktop desktop;
    RecordingWindow window(desktop);
    window.show();
    const int far = QApplication::startDragDistance() + 2;
    const QPoint ground(window.frMain->width() / 2, window.lblStepOutput->geometry().bottom() + 2);
    const struct {
        const char* what;
        QPoint at;
        Qt::MouseButton button;
        int distance;
        int moves;
    } cases[] = {
        {"title, dragged", window.lblTitle->geometry().center(), Qt::LeftButton, far, 1},
        {"ground, dragged", ground, Qt::LeftButton, far, 1},
        {"ground, a quick press", ground, Qt::LeftButton, 0, 0},
        {"ground, moved less than the drag distance", ground, Qt::LeftButton, far - 3, 0},
        {"ground, the right button", ground, Qt::RightButton, far, 0},
        {"a step's text", window.lblStepOutput->geometry().center(), Qt::LeftButton, far, 0},
        {"the end-of-batch line", window.convertPanel->lblBatchProgress->mapTo(window.frMain, QPoint(5, 5)),
         Qt::LeftButton, far, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        desktop.windowDrags = desktop.windowDragsEnded = 0;
        QTest::mousePress(window.frMain, c.button, Qt::NoModifier, c.at);
        QMouseEvent move(QEvent::MouseMove, QPointF(c.at + QPoint(c.distance, 0)),
                         window.frMain->mapToGlobal(QPointF(c.at + QPoint(c.distance, 0))), Qt::NoButton, c.button,
                         Qt::NoModifier);
        QApplication::sendEvent(window.frMain, &move);
        EXPECT_EQ(desktop.windowDrags, c.moves);
        QTest::mouseRelease(window.frMain, c.button, Qt::NoModifier, c.at + QPoint(c.distance, 0));
        EXPECT_EQ(desktop.windowDragsEnded, c.moves);
    }
    QTest::mouseClick(window.cmdMinimize, Qt::LeftButton);
    EXPECT_EQ(desktop.windowDrags, 0);
}

TEST(MainWindow, EngineAlreadyStartedShowsTheTwoLineBoxAndStartUpGoesOn)
{
    if (!BASS_Init(1, 44100, 0, nullptr, nullptr))
        GTEST_SKIP() << "no sound output here (error " << BASS_ErrorGetCode() << ")";
    ScriptedDesktop desktop;
    app::MainWindow window(desktop);
    EXPECT_TRUE(window.Form_Load());
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Digital output"));
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Error: Couldn't Initialize Digital Output.\nError Code:BASS_ERROR_ALREADY"));
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Critical);
    BASS_Free();
}

} // namespace

namespace {

TEST(MainWindow, EngineThatCannotStartShowsItsBoxAndEndsStartUp)
{
    qputenv("TONEMILL_AUDIO_DEVICE", "no-such-output-device");
    ScriptedDesktop desktop;
    app::MainWindow window(desktop);
    const bool started = window.Form_Load();
    qunsetenv("TONEMILL_AUDIO_DEVICE");

    EXPECT_FALSE(started);
    EXPECT_TRUE(window.bLoading) << "start-up stops before the settings step";
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Critical);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith(
        QStringLiteral("Error: Couldn't Initialize Digital Output, The program will not work correclty.\n"
                       "The sound device may not be installed correclty.\nError Code:BASS_ERROR_")))
        << desktop.boxes[0].text.toStdString();
}

} // namespace

namespace {

TEST_F(MainWindowShown, ABatchDisablesTheControlsThatCouldDisturbItAndRestoresThem)
{

    window.batch().SetControlsEnabled(false);
    for (const char* name : {"cmdRemove", "chkSelectAll", "cmdAddFile", "cmdAddFolder", "cmdAddVideoFile"})
        EXPECT_FALSE(window.filesPanel->findChild<QWidget*>(QLatin1String(name))->isEnabled()) << name;
    EXPECT_FALSE(window.folderWidget->cmdChangeFormat->isEnabled());
    EXPECT_FALSE(window.folderWidget->optSameFolder->isEnabled());
    EXPECT_TRUE(window.filesPanel->isEnabled()) << "the grid stays usable";

    window.batch().SetControlsEnabled(true);
    EXPECT_TRUE(window.filesPanel->cmdRemove->isEnabled());
    EXPECT_TRUE(window.folderWidget->cmdChangeFormat->isEnabled());
}

// Ticks the slide's timer until it stops; returns the panel's tops in pixels.
QList<int> slideToTheEnd(app::MainWindow& window, QWidget* panel)
{
    QList<int> tops;
    while (window.panelSlide->tmrAnimate->isActive() && tops.size() < 100) {
        window.panelSlide->tmrAnimate_Timer();
        tops << panel->y();
    }
    return tops;
}

TEST_F(MainWindowShown, ChangeSlidesTheOptionsPanelUpOverADisabledMainPanelAndSaveAndCloseBringsItBack)
{
    EXPECT_EQ(window.frFormats->y(), 577);
    EXPECT_EQ(window.frFormats->x(), window.frAbout->x());

    QTest::mouseClick(window.folderWidget->cmdChangeFormat, Qt::LeftButton);
    EXPECT_TRUE(window.panelSlide->tmrAnimate->isActive());
    EXPECT_FALSE(window.frMain->isEnabled());
    EXPECT_TRUE(window.frFormats->isVisible());
    window.cmdAbout_Click(); // refused while a panel moves
    EXPECT_EQ(window.panelSlide->objMovePanel, window.frFormats);

    const QList<int> tops = slideToTheEnd(window, window.frFormats);
    ASSERT_EQ(tops.size(), 24);
    EXPECT_EQ(tops.first(), 557);
    EXPECT_EQ(tops.mid(19), (QList<int>{187, 182, 177, 172, 181}));
    EXPECT_EQ(window.panelSlide->tmrAnimate->interval(), 40);
    EXPECT_FALSE(window.frMain->isEnabled());

    window.cmdAbout_Click(); // refused while a panel is up
    EXPECT_FALSE(window.frAbout->isVisible());

    QTest::mouseClick(window.frFormats->cmdHide, Qt::LeftButton);
    EXPECT_EQ(window.panelSlide->tmrAnimate->interval(), 40) << "set by the first closing tick";
    window.panelSlide->tmrAnimate_Timer();
    EXPECT_FALSE(window.frMain->isEnabled()) << "while closing";
    window.cmdChangeFormat_Click(); // refused while closing: the slide goes on down
    const QList<int> down = slideToTheEnd(window, window.frFormats);
    EXPECT_EQ(down.size(), 12);
    EXPECT_EQ(window.panelSlide->tmrAnimate->interval(), 5);
    EXPECT_EQ(window.frFormats->y(), 577);
    EXPECT_TRUE(window.frMain->isEnabled());
    EXPECT_FALSE(window.frFormats->isVisible());
}

TEST_F(MainWindowShown, AboutPanelReversesMidwayAndItsLinksOpenSilently)
{
    desktop.shellOpenSucceeds = false; // no browser, no viewer

    QTest::mouseClick(window.cmdAbout, Qt::LeftButton);
    for (int i = 0; i < 10; ++i)
        window.panelSlide->tmrAnimate_Timer();
    EXPECT_EQ(window.frAbout->y(), 377);
    QTest::mouseClick(window.frAbout->cmdCloseHelp, Qt::LeftButton);
    const QList<int> down = slideToTheEnd(window, window.frAbout);
    EXPECT_EQ(down, (QList<int>{410, 443, 477, 510, 543, 577, 577}));
    EXPECT_TRUE(window.frMain->isEnabled());

    QTest::mouseClick(window.frAbout->lblWebSite, Qt::LeftButton);
    QTest::mouseClick(window.MyButton1, Qt::LeftButton);
    ASSERT_EQ(desktop.shellOpened.size(), 2);
    EXPECT_TRUE(desktop.shellOpened[0].endsWith(QStringLiteral("/README.md"))); // no address that does not exist
    EXPECT_EQ(window.frAbout->lblWebSite->text(), QStringLiteral("README.md"));
    EXPECT_TRUE(desktop.shellOpened[1].endsWith(QStringLiteral("/Help.html")));
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_EQ(window.frAbout->lblVer->text().count(u'.'), 3);
}

} // namespace
