#include "lang/LanguageChoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lang;

namespace {

// The per-user settings folder of this process: the settings library fixes
// it at its first use, so every test shares it and starts with it empty.
class ConfigEnvironment : public ::testing::Environment {
public:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", folder.path().toUtf8()); }
    QTemporaryDir folder;
};
auto* const kConfig = static_cast<ConfigEnvironment*>(::testing::AddGlobalTestEnvironment(new ConfigEnvironment));

class LanguageChoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(kConfig->folder.filePath(QStringLiteral("Tonemill"))).removeRecursively());
    }
    QString configFile() const { return kConfig->folder.filePath(QStringLiteral("Tonemill/Tonemill.conf")); }
    void writeConfig(const QByteArray& content)
    {
        ASSERT_TRUE(QDir(kConfig->folder.path()).mkpath(QStringLiteral("Tonemill")));
        QFile file(configFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
};

} // namespace

TEST_F(LanguageChoiceTest, TheChoiceIsKeptInTheUsersConfigFile)
{
    EXPECT_EQ(storedLanguageFile(), "");
    EXPECT_EQ(rememberedLanguageFile(), "English.ini");

    rememberLanguageFile(QStringLiteral("Portuguese (Brazil).ini"));
    // What a later run reads: the file on disk, section Language, key Name.
    const QSettings onDisk(configFile(), QSettings::IniFormat);
    EXPECT_EQ(onDisk.value(QStringLiteral("Language/Name")).toString(), "Portuguese (Brazil).ini");
    EXPECT_EQ(storedLanguageFile(), "Portuguese (Brazil).ini");

    writeConfig("[Language]\nName=German.ini\n"); // as another run left it
    EXPECT_EQ(rememberedLanguageFile(), "German.ini");
}

TEST_F(LanguageChoiceTest, AnEmptyOrBrokenFileRemembersNothing)
{
    writeConfig("[Language]\nName=\n");
    EXPECT_EQ(storedLanguageFile(), "");
    EXPECT_EQ(rememberedLanguageFile(), "English.ini");

    writeConfig("\x01\x02[Lang\xFF\nName=German.ini=\n[[[\n");
    EXPECT_EQ(storedLanguageFile(), "");
    EXPECT_EQ(rememberedLanguageFile(), "English.ini");

    // A folder where the file should be: nothing is read, and storing a choice
    // fails quietly, leaving the folder as it is.
    ASSERT_TRUE(QFile::remove(configFile()));
    ASSERT_TRUE(QDir().mkpath(configFile()));
    EXPECT_EQ(storedLanguageFile(), "");
    rememberLanguageFile(QStringLiteral("German.ini"));
    EXPECT_TRUE(QFileInfo(configFile()).isDir());
}
