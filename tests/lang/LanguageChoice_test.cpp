#include "lang/LanguageChoice.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lang;

// The window's tests carry a choice across a restart; here, what a missing,
// empty or broken settings file gives.
TEST(LanguageChoice, AMissingEmptyOrBrokenFileRemembersNothing)
{
    // The settings library fixes the folder at its first use in the process.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString path = config.filePath(QStringLiteral("Tonemill/Tonemill.conf"));
    const auto write = [&path](const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(testsupport::writeFile(path, content));
    };

    EXPECT_EQ(storedLanguageFile(), "");
    EXPECT_EQ(rememberedLanguageFile(), "English.ini");
    write("[Language]\nName=German.ini\n");
    EXPECT_EQ(storedLanguageFile(), "German.ini");
    write("[Language]\nName=\n");
    EXPECT_EQ(storedLanguageFile(), "");
    EXPECT_EQ(rememberedLanguageFile(), "English.ini");
    write("\x01\x02[Lang\xFF\nName=German.ini=\n[[[\n");
    EXPECT_EQ(storedLanguageFile(), "");

    // A folder where the file should be: nothing is read, and storing a choice
    // fails quietly, leaving the folder as it is.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(storedLanguageFile(), "");
    rememberLanguageFile(QStringLiteral("German.ini"));
    EXPECT_TRUE(QFileInfo(path).isDir());
    qunsetenv("XDG_CONFIG_HOME");
}
