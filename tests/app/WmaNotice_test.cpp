#include "app/MainWindow.h"
#include "engine/WmaCodec.h"
#include "filelist/FileAdmission.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "options/WmaNoticeView.h"
#include "options/WmaOptionsView.h"
#include "remedy/WmaRemedies.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"

#include <QDBusConnection>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using testsupport::ScriptedDesktop;

// Every window keeps its settings and language choice in folders of its own
// and looks for the package installer on no bus at all.
class WmaNoticeEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("TONEMILL_HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        qunsetenv("TONEMILL_WMA_COMPONENT_URL");
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_config;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WmaNoticeEnvironment);

// The real window with the real probe; only the engine's start is skipped
// (the probe does not need it).
class ProbingWindow : public app::MainWindow {
public:
    using app::MainWindow::MainWindow;

protected:
    bool StartAudioEngine() override { return true; }
};

class WmaEncoderSwitch {
public:
    explicit WmaEncoderSwitch(bool available)
    {
        if (available)
            qunsetenv(engine::kNoWmaEncoderVariable);
        else
            qputenv(engine::kNoWmaEncoderVariable, "1");
    }
    ~WmaEncoderSwitch() { qunsetenv(engine::kNoWmaEncoderVariable); }
};

TEST(WmaNotice, ShownAtStartUpOnlyWhenNoWmaEncoderWorks)
{
    for (const bool available : {true, false}) {
        SCOPED_TRACE(available ? "encoder available" : "encoder missing");
        const WmaEncoderSwitch encoder(available);
        ScriptedDesktop desktop;
        ProbingWindow window(desktop);
        ASSERT_TRUE(window.Form_Load());
        EXPECT_EQ(window.formatOptions().wmaNoticeVisible(), !available);
    }
}

TEST(WmaNotice, TheButtonsAndThePromptAnswersReachTheirRemedies)
{
    const WmaEncoderSwitch encoder(false);
    ScriptedDesktop desktop;
    ProbingWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    QTemporaryDir downloads;
    remedy::WmaRemedies& remedies = window.wmaRemedies();
    remedies.setInstallerBus(QDBusConnection(QStringLiteral("no bus")));
    remedies.setDownloadFolder(downloads.path());
    remedies.setConnectivityCheck([] { return false; });
    const QString page = remedies.sources().playerPageUrl.toString();
    // No download address exists: the download button says what to install.
    const QString install = QStringLiteral("To convert to WMA, install the package libavcodec-extra");
    const QString restart = QStringLiteral("You have to restart Tonemill after installing");
    const options::WmaNoticeView* notice = window.frFormats->wmaPage->frWmaNotice;

    notice->cmdOpenWMSite->click();
    EXPECT_EQ(desktop.shellOpened, QStringList{page});
    EXPECT_TRUE(desktop.boxes.isEmpty());
    notice->cmdDownloadWMF->click();
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes[0].text.startsWith(install)) << desktop.boxes[0].text.toStdString();

    // A Windows Media file the engine cannot open raises the prompt.
    QTemporaryDir media;
    for (const platform::Desktop::Answer answer : {platform::Desktop::Answer::No, platform::Desktop::Answer::Yes}) {
        const bool yes = answer == platform::Desktop::Answer::Yes;
        SCOPED_TRACE(yes ? "Yes" : "No");
        desktop.boxes.clear();
        desktop.shellOpened.clear();
        desktop.answers = {answer};
        QString broken = media.filePath(yes ? QStringLiteral("a.wma") : QStringLiteral("b.wma"));
        ASSERT_TRUE(testsupport::writeFile(broken, QByteArray(3000, 'w')));
        ASSERT_EQ(window.admission().AddFile2Grid(broken), 1);
        ASSERT_EQ(desktop.boxes.size(), yes ? 3 : 2);
        EXPECT_TRUE(desktop.boxes[0].text.startsWith(QStringLiteral("Your System does not support")));
        EXPECT_EQ(desktop.boxes[1].text, restart);
        if (yes) {
            EXPECT_TRUE(desktop.boxes[2].text.startsWith(install)) << desktop.boxes[2].text.toStdString();
            EXPECT_TRUE(desktop.shellOpened.isEmpty());
        } else {
            EXPECT_EQ(desktop.shellOpened, QStringList{page});
        }
    }
}

} // namespace
