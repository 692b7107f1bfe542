#include "StoreTest.h"
#include "settings/CRegister.h"
#include "settings/HiveStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace settings; // the subsystem under test

namespace {

const QString kSection = QStringLiteral("Software\\Korvane Tonemill\\Settings");

using CRegisterTest = storetest::StoreTest;

TEST_F(CRegisterTest, MissingStoreGivesDefaultsAndIsNotCreatedByReadsOrDeletes)
{
    EXPECT_EQ(get(kSection, QStringLiteral("txtOutPath"), QStringLiteral("/home/u/Converted Files")),
              QStringLiteral("/home/u/Converted Files"));
    EXPECT_FALSE(remove(kSection, QStringLiteral("txtOutPath")));
    EXPECT_FALSE(remove(kSection, QString()));
    EXPECT_FALSE(QFileInfo::exists(hiveFolder));

    ASSERT_TRUE(save(kSection, QStringLiteral("optFileFormat"), QStringLiteral("2")));
    EXPECT_TRUE(QFileInfo::exists(hiveFolder + QStringLiteral("/HKEY_LOCAL_MACHINE.db")));
    EXPECT_EQ(get(kSection, QStringLiteral("sliderWMA"), QStringLiteral("50")), QStringLiteral("50"));
    EXPECT_EQ(get(QStringLiteral("Software\\Other"), QStringLiteral("optFileFormat")), QStringLiteral("DEF"));
}

TEST_F(CRegisterTest, ValuesRoundTripAsUtf8AndEmptyReadsAsDefault)
{
    const QString text = QStringLiteral("/home/zoë/Müsik — 音楽\\x");
    ASSERT_TRUE(save(kSection, QStringLiteral("txtOutPath"), text));
    EXPECT_EQ(get(kSection, QStringLiteral("txtOutPath")), text);

    ASSERT_TRUE(save(kSection, QStringLiteral("txtOutPath"), QString()));
    EXPECT_EQ(get(kSection, QStringLiteral("txtOutPath"), QStringLiteral("/home/u/Converted Files")),
              QStringLiteral("/home/u/Converted Files"));
}

TEST_F(CRegisterTest, ValueAndKeyNamesIgnoreCase)
{
    ASSERT_TRUE(save(kSection, QStringLiteral("cmbOGGVBitrate"), QStringLiteral("3")));
    ASSERT_TRUE(save(kSection, QStringLiteral("cmbOGGvBitrate"), QStringLiteral("5")));
    EXPECT_EQ(get(kSection, QStringLiteral("CMBOGGVBITRATE")), QStringLiteral("5"));
    EXPECT_EQ(get(QStringLiteral("SOFTWARE\\korvane TONEMILL\\settings"), QStringLiteral("cmboggvbitrate")),
              QStringLiteral("5"));

    // The name keeps the case it was first written with.
    HiveStore hive(reg.hivePath(HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(hive.read([](HiveStore& store) {
        return store.value({QStringLiteral("software"), QStringLiteral("korvane tonemill"), QStringLiteral("settings")},
                           QStringLiteral("CmbOggVBitrate")) == QByteArray("5");
    }));
    EXPECT_TRUE(remove(kSection, QStringLiteral("CMBOGGVBITRATE")));
    EXPECT_EQ(get(kSection, QStringLiteral("cmbOGGVBitrate")), QStringLiteral("DEF"));
}

TEST_F(CRegisterTest, StarIsTheUnnamedValue)
{
    ASSERT_TRUE(save(kSection, QStringLiteral("*"), QStringLiteral("unnamed")));
    EXPECT_EQ(get(kSection, QStringLiteral("*")), QStringLiteral("unnamed"));
    EXPECT_EQ(get(kSection, QString()), QStringLiteral("unnamed"));

    HiveStore hive(reg.hivePath(HKEY_LOCAL_MACHINE));
    const QStringList path = *HiveStore::splitKeyPath(kSection);
    EXPECT_TRUE(hive.read([&](HiveStore& store) {
        return store.value(path, QString()) == QByteArray("unnamed") && !store.value(path, QStringLiteral("*"));
    }));

    // Deleting "*" removes the unnamed value only, not the key.
    ASSERT_TRUE(save(kSection, QStringLiteral("sliderOGG"), QStringLiteral("3")));
    EXPECT_TRUE(remove(kSection, QStringLiteral("*")));
    EXPECT_EQ(get(kSection, QStringLiteral("*")), QStringLiteral("DEF"));
    EXPECT_EQ(get(kSection, QStringLiteral("sliderOGG")), QStringLiteral("3"));
    EXPECT_FALSE(remove(kSection, QStringLiteral("*")));
}

TEST_F(CRegisterTest, NestedKeysAreSeparateAndCreatedWithTheirParents)
{
    ASSERT_TRUE(save(QStringLiteral("A\\B\\C"), QStringLiteral("v"), QStringLiteral("deep")));
    ASSERT_TRUE(save(QStringLiteral("A"), QStringLiteral("v"), QStringLiteral("top")));
    EXPECT_EQ(get(QStringLiteral("A\\B\\C"), QStringLiteral("v")), QStringLiteral("deep"));
    EXPECT_EQ(get(QStringLiteral("A"), QStringLiteral("v")), QStringLiteral("top"));
    EXPECT_EQ(get(QStringLiteral("A\\B"), QStringLiteral("v")), QStringLiteral("DEF"));
    HiveStore hive(reg.hivePath(HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(hive.read([](HiveStore& store) {
        return store.keyExists({QStringLiteral("a"), QStringLiteral("b")});
    }));

    // Empty key names (doubled backslashes) address nothing.
    EXPECT_FALSE(save(QStringLiteral("A\\\\B"), QStringLiteral("v"), QStringLiteral("x")));
    EXPECT_EQ(get(QStringLiteral("A\\\\B\\C"), QStringLiteral("v")), QStringLiteral("DEF"));
}

TEST_F(CRegisterTest, OneLeadingAndTrailingBackslashAreIgnoredExceptWhenDeletingTheKey)
{
    ASSERT_TRUE(save(QStringLiteral("\\Software\\X\\"), QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_EQ(get(QStringLiteral("Software\\X"), QStringLiteral("a")), QStringLiteral("1"));
    ASSERT_TRUE(save(QStringLiteral("Software\\X"), QStringLiteral("b"), QStringLiteral("2")));
    EXPECT_EQ(get(QStringLiteral("\\Software\\X\\"), QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_EQ(get(QStringLiteral("\\Software\\X"), QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_EQ(get(QStringLiteral("Software\\X\\"), QStringLiteral("b")), QStringLiteral("2"));

    // Only one of each is removed.
    EXPECT_EQ(get(QStringLiteral("\\\\Software\\X"), QStringLiteral("b")), QStringLiteral("DEF"));
    EXPECT_FALSE(save(QStringLiteral("Software\\X\\\\"), QStringLiteral("c"), QStringLiteral("3")));

    EXPECT_TRUE(remove(QStringLiteral("\\Software\\X\\"), QStringLiteral("a")));
    EXPECT_EQ(get(QStringLiteral("Software\\X"), QStringLiteral("a")), QStringLiteral("DEF"));

    // Deleting the key takes the path as given.
    EXPECT_FALSE(remove(QStringLiteral("\\Software\\X\\"), QString()));
    EXPECT_EQ(get(QStringLiteral("Software\\X"), QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_TRUE(remove(QStringLiteral("Software\\X"), QString()));
    EXPECT_EQ(get(QStringLiteral("Software\\X"), QStringLiteral("b")), QStringLiteral("DEF"));
}

TEST_F(CRegisterTest, DeletingAValue)
{
    ASSERT_TRUE(save(kSection, QStringLiteral("optMP3CBR"), QStringLiteral("True")));
    ASSERT_TRUE(save(kSection, QStringLiteral("optMP3ABR"), QStringLiteral("False")));
    EXPECT_TRUE(remove(kSection, QStringLiteral("optMP3CBR")));
    EXPECT_EQ(get(kSection, QStringLiteral("optMP3CBR")), QStringLiteral("DEF"));
    EXPECT_EQ(get(kSection, QStringLiteral("optMP3ABR")), QStringLiteral("False"));
    EXPECT_FALSE(remove(kSection, QStringLiteral("optMP3CBR")));
    EXPECT_FALSE(remove(QStringLiteral("Software\\Nowhere"), QStringLiteral("optMP3ABR")));
}

TEST_F(CRegisterTest, DeletingAKeyRemovesAllItsValuesButNeverAKeyWithSubKeys)
{
    ASSERT_TRUE(reg.saveValues(HKEY_LOCAL_MACHINE, kSection,
                               {{QStringLiteral("optSameFolder"), QStringLiteral("False")},
                                {QStringLiteral("txtOutPath"), QStringLiteral("/srv/out")},
                                {QStringLiteral("*"), QStringLiteral("unnamed")}}));
    ASSERT_TRUE(save(QStringLiteral("Software\\Korvane Tonemill"), QStringLiteral("kept"), QStringLiteral("yes")));

    EXPECT_FALSE(remove(QStringLiteral("Software\\Korvane Tonemill"), QString()));
    EXPECT_EQ(get(kSection, QStringLiteral("txtOutPath")), QStringLiteral("/srv/out"));

    EXPECT_TRUE(remove(kSection, QString()));
    EXPECT_EQ(get(kSection, QStringLiteral("optSameFolder")), QStringLiteral("DEF"));
    EXPECT_EQ(get(kSection, QStringLiteral("txtOutPath")), QStringLiteral("DEF"));
    EXPECT_EQ(get(kSection, QStringLiteral("*")), QStringLiteral("DEF"));
    EXPECT_EQ(get(QStringLiteral("Software\\Korvane Tonemill"), QStringLiteral("kept")), QStringLiteral("yes"));
    EXPECT_FALSE(remove(kSection, QString()));

    // The key comes back empty when written again.
    ASSERT_TRUE(save(kSection, QStringLiteral("txtOutPath"), QStringLiteral("/srv/new")));
    EXPECT_EQ(get(kSection, QStringLiteral("txtOutPath")), QStringLiteral("/srv/new"));
    EXPECT_EQ(get(kSection, QStringLiteral("optSameFolder")), QStringLiteral("DEF"));

    // The root itself cannot be deleted.
    EXPECT_FALSE(remove(QString(), QString()));
}

TEST_F(CRegisterTest, DefaultHiveIsInTheProgramFolder)
{
    const QByteArray oldHome = qgetenv("TONEMILL_HOME");
    qputenv("TONEMILL_HOME", dir.path().toUtf8());
    const CRegister machine;
    const QString path = machine.hivePath(HKEY_LOCAL_MACHINE);
    const bool saved = machine.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, QStringLiteral("x"), QStringLiteral("1"));
    if (oldHome.isNull())
        qunsetenv("TONEMILL_HOME");
    else
        qputenv("TONEMILL_HOME", oldHome);

    EXPECT_EQ(path, dir.path() + QStringLiteral("/settings/HKEY_LOCAL_MACHINE.db"));
    EXPECT_TRUE(saved);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(get(kSection, QStringLiteral("x")), QStringLiteral("1"));
}

} // namespace
