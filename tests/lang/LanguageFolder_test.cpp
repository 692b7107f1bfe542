#include "lang/LanguageFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using lang::LanguageEntry;
using lang::LanguageFolder;
using lang::LanguageListing;

namespace {

// A language folder made of empty files; the image list is scripted: it
// records the pictures handed to it and refuses the ones named "…bad…".
class LanguageFolderTest : public ::testing::Test {
protected:
    void add(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            QFile file(m_dir.filePath(QString::fromUtf8(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
        }
    }
    LanguageListing list(const QString& languageFile = QStringLiteral("English.ini"))
    {
        images.clear();
        return LanguageFolder::list(m_dir.path(), languageFile, [this](const QString& path, QString& failure) {
            const QString name = QFileInfo(path).fileName();
            if (name.contains(QStringLiteral("bad"))) {
                failure = QStringLiteral("cannot read ") + name;
                return false;
            }
            images << name;
            return true;
        });
    }

    QTemporaryDir m_dir;
    QStringList images;
};

QStringList names(const LanguageListing& listing)
{
    QStringList result;
    for (const LanguageEntry& entry : listing.entries)
        result << entry.displayName;
    return result;
}

} // namespace

TEST_F(LanguageFolderTest, LanguagesAndFlagsAreListedByNameAndPairedByPosition)
{
    add({"German.ini", "English.ini", "french.ini", "German.bmp", "English.bmp", "french.BMP", "readme.txt",
         "Polish.ini.txt", ".Hidden.ini"});
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Folder.ini")));
    const LanguageListing listing = list();
    EXPECT_EQ(images, (QStringList{"English.bmp", "french.BMP", "German.bmp"})); // letter case ignored in the order
    EXPECT_EQ(listing.images, 3);
    EXPECT_EQ(listing.entries, (QList<LanguageEntry>{{"English", 1, "English.ini"},
                                                     {"french", 2, "french.ini"},
                                                     {"German", 3, "German.ini"}})); // each paired with its flag
    EXPECT_EQ(listing.marked, 0);
    EXPECT_TRUE(listing.failure.isEmpty());
}

TEST_F(LanguageFolderTest, AMissingBitmapShiftsTheLaterFlagsAndLeavesTheLastLanguageWithoutOne)
{
    add({"English.ini", "French.ini", "German.ini", "English.bmp", "German.bmp"});
    const LanguageListing listing = list();
    EXPECT_EQ(images, (QStringList{"English.bmp", "German.bmp"}));
    // Pairing is by position: French shows the second picture, German's, and
    // German refers to a third picture that does not exist.
    EXPECT_EQ(listing.entries,
              (QList<LanguageEntry>{
                  {"English", 1, "English.ini"}, {"French", 2, "French.ini"}, {"German", 3, "German.ini"}}));
    EXPECT_EQ(listing.images, 2);
}

TEST_F(LanguageFolderTest, NamesAndTheMarkedEntry)
{
    add({"GERMAN.INI", "English.ini", "Portuguese (Brazil).ini", "a.ini.ini", "English.bmp"});
    EXPECT_EQ(names(list()), (QStringList{"a", "English", "GERMAN", "Portuguese (Brazil)"}));
    EXPECT_EQ(list().entries[2].fileName, "GERMAN.INI");     // the file is opened by its real name
    EXPECT_EQ(list(QStringLiteral("german.ini")).marked, 2); // letter case ignored
    EXPECT_EQ(list(QStringLiteral("Portuguese (Brazil).ini")).marked, 3);
    EXPECT_EQ(list(QStringLiteral("Klingon.ini")).marked, -1);
}

TEST_F(LanguageFolderTest, NoLanguageFileOrNoFolderListsNothing)
{
    add({"English.bmp", "notes.txt"});
    EXPECT_TRUE(list().entries.isEmpty());
    const LanguageListing none = LanguageFolder::list(m_dir.filePath(QStringLiteral("missing")), "English.ini",
                                                      [](const QString&, QString&) { return true; });
    EXPECT_TRUE(none.entries.isEmpty());
    EXPECT_EQ(none.images, 0);
}

TEST_F(LanguageFolderTest, APictureThatCannotBeLoadedEndsTheListing)
{
    add({"English.ini", "German.ini", "English.bmp", "Fbad.bmp", "German.bmp"});
    const LanguageListing listing = list();
    EXPECT_EQ(listing.failure, "cannot read Fbad.bmp");
    EXPECT_EQ(images, (QStringList{"English.bmp"})); // the pictures before it stay
    EXPECT_EQ(listing.images, 1);
    EXPECT_TRUE(listing.entries.isEmpty()) << "the languages are listed after the pictures";
}
