#include "platform/PowerOff.h"
#include "platform/QtDesktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every test here replaces the power-off with a harmless command; the check
// before each request makes sure the login manager is never reached.
class PowerOffTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { qunsetenv(platform::kPowerOffCommandVariable); }

    void replaceWith(const QString& command)
    {
        qputenv(platform::kPowerOffCommandVariable, command.toUtf8());
        ASSERT_TRUE(qEnvironmentVariableIsSet(platform::kPowerOffCommandVariable));
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(PowerOffTest, TheCommandRunsInsteadOfThePowerOff)
{
    const QString marker = path(QStringLiteral("powered off"));
    replaceWith(QStringLiteral("touch \"%1\"").arg(marker));
    EXPECT_TRUE(platform::RequestPowerOff());
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(PowerOffTest, TheWindowsDesktopUsesIt)
{
    const QString marker = path(QStringLiteral("window"));
    replaceWith(QStringLiteral("touch %1").arg(marker));
    platform::QtDesktop desktop;
    EXPECT_TRUE(desktop.powerOff());
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(PowerOffTest, TheCommandIsNeverShellText)
{
    const QString name = path(QStringLiteral("$(touch pwned)`touch pwned2`;touch pwned3"));
    replaceWith(QStringLiteral("touch \"%1\"").arg(name));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_TRUE(platform::RequestPowerOff());
    QDir::setCurrent(before);
    EXPECT_TRUE(QFile::exists(name));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pwned2"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pwned3"))));
}

TEST_F(PowerOffTest, AFailingOrMissingCommandReportsFailure)
{
    replaceWith(QStringLiteral("false"));
    EXPECT_FALSE(platform::RequestPowerOff());
    replaceWith(path(QStringLiteral("no-such-program")));
    EXPECT_FALSE(platform::RequestPowerOff());
    replaceWith(QString()); // set but empty: still never the real power-off
    EXPECT_FALSE(platform::RequestPowerOff());
}

} // namespace
