#include "settings/CRegister.h"
#include "settings/SettingsTable.h"
#include "support/CommandTest.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using settings::table::kSettingsKey;

using namespace settings; // the subsystem under test

namespace {

using ProbeRun = testsupport::TonemillResult;
using testsupport::readFile;

// Runs the built program with its own program folder (so its own settings
// store) and home folder, without a display.
class SettingsCommandLineTest : public testsupport::CommandTest {
protected:
    CRegister reg{tonemill.programFolder() + QStringLiteral("/settings")};
    QString tone = path(QStringLiteral("tone.wav"));

    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(testsupport::makeTone(tone, 0.5, 8000, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}));
    }

    //! Runs `tonemill COMMAND ARGUMENTS...` as this test's user.
    ProbeRun run(const QString& command, const QStringList& arguments) const
    {
        return tonemill.run(QStringList{command} + arguments);
    }

    //! Runs `tonemill COMMAND ARGUMENTS...` as user `uid` (through setpriv, so
    //! the caller must be root), with `home` as its home folder.
    ProbeRun runAs(uid_t uid, const QString& home, const QString& command, const QStringList& arguments) const
    {
        QProcessEnvironment env = tonemill.environment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(work.path());
        p.start(QStringLiteral("setpriv"),
                QStringList{QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(uid),
                            QStringLiteral("--clear-groups"), tonemill.program(), command} +
                    arguments);
        return testsupport::TonemillRun::finish(p);
    }

    ProbeRun probe(const QStringList& arguments) const { return run(QStringLiteral("probe"), arguments); }

    QString stored(const QString& name) const
    {
        return reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSettingsKey, name, QStringLiteral("<absent>"));
    }
};

} // namespace

TEST_F(SettingsCommandLineTest, ProbeAndConvertNeverWriteTheStore)
{
    const QString hive = reg.hivePath(HKEY_LOCAL_MACHINE);
    ProbeRun result = probe({tone});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(hive)) << "a probe made the store";

    // A store as an older version left it, naming a folder that is not ours.
    ASSERT_TRUE(reg.saveValues(HKEY_LOCAL_MACHINE, kSettingsKey,
                               {{QStringLiteral("optSameFolder"), QStringLiteral("False")},
                                {QStringLiteral("txtOutPath"), QStringLiteral("/nonexistent/someone/Converted Files")},
                                {QStringLiteral("sliderWMA"), QStringLiteral("10")}}));
    const QByteArray before = readFile(hive);
    result = probe({tone});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    result = run(QStringLiteral("convert"), {QStringLiteral("--format=wav"), tone});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(tonemill.homeFolder() + QStringLiteral("/Converted Files/tone.wav")));
    EXPECT_TRUE(readFile(hive) == before) << "the store's bytes changed";
    EXPECT_FALSE(QFileInfo::exists(hive + QStringLiteral("-journal")));
}

// The shared store of an installation as two users meet it: an older version
// left the first user's folder in it, and the current one a folder that names
// no user. Each user converts into a folder of their own, and the store stays
// as it was.
TEST_F(SettingsCommandLineTest, TwoUsersOnOneStoreEachConvertIntoTheirOwnFolder)
{
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        GTEST_SKIP() << "needs root and setpriv to run the program as another user";
    constexpr uid_t kOtherUser = 65534;
    // The other user must reach the program folder, the store and the input.
    for (const QString& dir : {tonemill.programFolder(), work.path()})
        ASSERT_EQ(chmod(QFile::encodeName(dir).constData(), 0755), 0);
    QTemporaryDir otherHome;
    ASSERT_EQ(chown(QFile::encodeName(otherHome.path()).constData(), kOtherUser, kOtherUser), 0);
    const QString firstUsersFolder = tonemill.homeFolder() + QStringLiteral("/Converted Files");
    ASSERT_TRUE(QDir().mkpath(firstUsersFolder));

    struct Case {
        const char* name;
        QString storedFolder;
        bool message; // the other user is told of the fallback
    };
    const Case cases[] = {
        {"written by an older version", firstUsersFolder, true},
        {"written by this version", QStringLiteral("~/Converted Files"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(reg.saveValues(HKEY_LOCAL_MACHINE, kSettingsKey,
                                   {{QStringLiteral("optOtherFolder"), QStringLiteral("True")},
                                    {QStringLiteral("optSameFolder"), QStringLiteral("False")},
                                    {QStringLiteral("txtOutPath"), c.storedFolder}}));
        const QByteArray before = readFile(reg.hivePath(HKEY_LOCAL_MACHINE));

        const ProbeRun other =
            runAs(kOtherUser, otherHome.path(), QStringLiteral("convert"), {QStringLiteral("--format=wav"), tone});
        const QString otherOutput = otherHome.filePath(QStringLiteral("Converted Files/tone.wav"));
        EXPECT_EQ(other.exitCode, 0) << other.err.toStdString();
        EXPECT_EQ(other.out, (tone + u'\t' + otherOutput + QStringLiteral("\tComplete\t\n")).toUtf8());
        EXPECT_EQ(QFileInfo(otherOutput).ownerId(), kOtherUser);
        EXPECT_EQ(other.err.contains(firstUsersFolder.toUtf8()), c.message) << other.err.toStdString();

        const ProbeRun first = run(QStringLiteral("convert"), {QStringLiteral("--format=wav"), tone});
        EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
        EXPECT_TRUE(first.out.contains((firstUsersFolder + QStringLiteral("/tone")).toUtf8()))
            << first.out.toStdString();
        EXPECT_TRUE(first.err.isEmpty()) << first.err.toStdString();

        EXPECT_TRUE(readFile(reg.hivePath(HKEY_LOCAL_MACHINE)) == before);
        ASSERT_TRUE(QFile::remove(otherOutput));
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
    EXPECT_EQ(stored(QStringLiteral("optSameFolder")), QStringLiteral("<absent>"));
}

TEST_F(SettingsCommandLineTest, UnknownOrUnfitOptionsAreUsageErrorsNamingThem)
{
    ProbeRun run = probe({QStringLiteral("--option"), QStringLiteral("chkWMAFileTags=1"), tone});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("unknown option 'chkWMAFileTags'")) << run.err.toStdString();

    run = probe({QStringLiteral("--option"), QStringLiteral("cmbMP3CBitrate=10"), tone});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("option 'cmbMP3CBitrate': value '10' does not apply")) << run.err.toStdString();

    run = probe({QStringLiteral("--option"), QStringLiteral("optMP3VBR=maybe"), tone});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("optMP3VBR")) << run.err.toStdString();

    run = probe({tone, QStringLiteral("--option")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("--option needs NAME=VALUE")) << run.err.toStdString();
}
