#include "settings/CRegister.h"
#include "settings/SettingsTable.h"
#include "support/Fixtures.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using settingstable::kSettingsKey;

namespace {

struct ProbeRun {
    int exitCode = -1;
    QString err;
};

// Runs the built program with its own program folder (so its own settings
// store) and home folder, without a display.
class SettingsCommandLineTest : public ::testing::Test {
protected:
    QTemporaryDir programFolder;
    QTemporaryDir homeFolder;
    QTemporaryDir work;
    CRegister reg{programFolder.path() + QStringLiteral("/settings")};
    QString tone = work.filePath(QStringLiteral("tone.wav"));

    void SetUp() override
    {
        ASSERT_TRUE(testsupport::makeTone(tone, 0.5, 8000, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}));
    }

    ProbeRun probe(const QStringList& arguments) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("TONEMILL_HOME"), programFolder.path());
        env.insert(QStringLiteral("HOME"), homeFolder.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), homeFolder.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(testsupport::buildBinDir() + QStringLiteral("/tonemill"),
                QStringList{QStringLiteral("probe")} + arguments);
        p.waitForFinished(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }

    QString stored(const QString& name) const
    {
        return reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSettingsKey, name, QStringLiteral("<absent>"));
    }
};

} // namespace

TEST_F(SettingsCommandLineTest, ProbeLoadsTheSettingsWithTheWriteBacksAndNeverSavesThem)
{
    const ProbeRun run = probe({tone});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(stored(QStringLiteral("optSameFolder")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("txtOutPath")), homeFolder.path() + QStringLiteral("/Converted Files"));
    for (const QString& name : settingstable::valueNames()) {
        if (name != QLatin1String("optSameFolder") && name != QLatin1String("txtOutPath")) {
            EXPECT_EQ(stored(name), QStringLiteral("<absent>")) << name.toStdString();
        }
    }
}

TEST_F(SettingsCommandLineTest, OptionOverridesHoldForOneRunOnly)
{
    ASSERT_TRUE(
        reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("sliderWMA"), QStringLiteral("10")));
    const ProbeRun run = probe({QStringLiteral("--option"), QStringLiteral("SLIDERWMA=20"),
                           QStringLiteral("--option=optSameFolder=true"), QStringLiteral("--"), tone});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(stored(QStringLiteral("sliderWMA")), QStringLiteral("10"));
    EXPECT_EQ(stored(QStringLiteral("optSameFolder")), QStringLiteral("False"));
}

TEST_F(SettingsCommandLineTest, UnknownOrUnfitOptionsAreUsageErrorsNamingThem)
{
    ProbeRun run = probe({QStringLiteral("--option"), QStringLiteral("chkWMAFileTags=1"), tone});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("unknown option 'chkWMAFileTags'"))) << run.err.toStdString();

    run = probe({QStringLiteral("--option"), QStringLiteral("cmbMP3CBitrate=10"), tone});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("option 'cmbMP3CBitrate': value '10' does not apply")))
        << run.err.toStdString();

    run = probe({QStringLiteral("--option"), QStringLiteral("optMP3VBR=maybe"), tone});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("optMP3VBR"))) << run.err.toStdString();

    run = probe({tone, QStringLiteral("--option")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--option needs NAME=VALUE"))) << run.err.toStdString();
}
