#include "StoreTest.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "settings/CRegister.h"
#include "settings/Settings.h"
#include "settings/SettingsTable.h"
#include "settings/UserFolder.h"
#include "support/ScriptedDesktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using options::FormatOptions;
using settings::table::kSettingsKey;

using namespace settings; // the subsystem under test

namespace {

const QString kAbsent = QStringLiteral("<absent>");

class SettingsTest : public storetest::StoreTest {
protected:
    FormatOptions options;
    bool bLoading = true;
    Settings settings{options, reg, [this] { bLoading = false; }};

    void store(const QString& name, const QString& value) { ASSERT_TRUE(save(kSettingsKey, name, value)); }
    QString stored(const QString& name) const { return get(kSettingsKey, name, kAbsent); }
    // The names of the values the key holds.
    QStringList storedNames() const
    {
        QStringList names;
        for (const QString& name : table::valueNames())
            if (stored(name) != kAbsent)
                names.append(name);
        return names;
    }

    // Moves every saved control away from its default.
    static void changeEverything(FormatOptions& o)
    {
        o.optSameFolder.click();
        o.txtOutPath.setText(QStringLiteral("/srv/music out"));
        o.optFileFormat(FormatOptions::OGG).click();
        o.sliderWMA.setValue(90);
        o.cmbMP3StereoMode.setListIndex(4);
        o.cmbMP3Freq.setListIndex(9);
        o.SliderMP3EncoderQuality.setValue(1);
        o.optMP3VBR.click();
        o.SliderMP3VBR.setValue(8);
        o.cmbMP3CBitrate.setListIndex(0);
        o.cmbMP3ABitrate.setListIndex(1);
        o.sliderOGG.setValue(-2);
        o.optOGGCBR.click();
        o.cmbOGGCBitrate.setListIndex(8);
        o.cmbOGGVBitrate.setListIndex(0);
        o.chkCopyTags.setValue(false);
        o.sliderFLACLevel.setValue(8);
        o.sliderOpusBitrate.setValue(32);
        o.optOpusVoIP.click();
        o.sliderAACBitrate.setValue(320);
        o.chkSubFolders.setValue(true);
        o.chkKeepTree.setValue(true);
        o.chkNamePattern.setValue(true);
        o.txtNamePattern.setText(QStringLiteral("{album}/{title}"));
    }

    void expectDefaults(const FormatOptions& o)
    {
        EXPECT_TRUE(o.optOtherFolder.Value());
        EXPECT_FALSE(o.optSameFolder.Value());
        EXPECT_EQ(o.txtOutPath.Text(), QDir::homePath() + QStringLiteral("/Converted Files"));
        EXPECT_TRUE(o.txtOutPath.Enabled());
        EXPECT_TRUE(o.cmdBrowse.Enabled());
        EXPECT_EQ(o.selectedFormat(), FormatOptions::MP3);
        EXPECT_EQ(o.frontPage(), FormatOptions::MP3);
        EXPECT_EQ(o.sliderWMA.Value(), 50);
        EXPECT_TRUE(o.chkCopyTags.Value());
        EXPECT_FALSE(o.chkSubFolders.Value());
        EXPECT_FALSE(o.chkKeepTree.Value());
        EXPECT_TRUE(o.chkKeepTree.Enabled());
        EXPECT_FALSE(o.chkNamePattern.Value());
        EXPECT_FALSE(o.txtNamePattern.Enabled());
        EXPECT_EQ(o.txtNamePattern.Text(), FormatOptions::defaultNamePattern());
        EXPECT_EQ(o.lblWMAQuality.Caption(), QStringLiteral("50"));
        EXPECT_EQ(o.cmbMP3StereoMode.ListIndex(), 2);
        EXPECT_EQ(o.cmbMP3Freq.ListIndex(), 0);
        EXPECT_EQ(o.SliderMP3EncoderQuality.Value(), 5);
        EXPECT_TRUE(o.optMP3CBR.Value());
        EXPECT_FALSE(o.optMP3ABR.Value());
        EXPECT_FALSE(o.optMP3VBR.Value());
        EXPECT_EQ(o.SliderMP3VBR.Value(), 5);
        EXPECT_EQ(o.cmbMP3CBitrate.ListIndex(), 6);
        EXPECT_EQ(o.cmbMP3ABitrate.ListIndex(), 6);
        EXPECT_TRUE(o.cmbMP3CBitrate.Enabled());
        EXPECT_FALSE(o.cmbMP3ABitrate.Enabled());
        EXPECT_FALSE(o.SliderMP3VBR.Enabled());
        EXPECT_EQ(o.sliderOGG.Value(), 3);
        EXPECT_FALSE(o.optOGGCBR.Value());
        EXPECT_TRUE(o.optOGGVBR.Value());
        EXPECT_EQ(o.cmbOGGCBitrate.ListIndex(), 6);
        EXPECT_EQ(o.cmbOGGVBitrate.ListIndex(), 6);
        EXPECT_FALSE(o.cmbOGGCBitrate.Enabled());
        EXPECT_TRUE(o.cmbOGGVBitrate.Enabled());
        EXPECT_EQ(o.sliderFLACLevel.Value(), 5);
        EXPECT_EQ(o.sliderOpusBitrate.Value(), 128);
        EXPECT_EQ(o.lblOpusBitrate.Caption(), QStringLiteral("128 Kbps"));
        EXPECT_TRUE(o.optOpusAudio.Value());
        EXPECT_FALSE(o.optOpusVoIP.Value());
        EXPECT_EQ(o.sliderAACBitrate.Value(), 192);
        EXPECT_EQ(o.lblFormat.Caption().section(u'\n', 0, 0),
                  QStringLiteral("MP3,Joint Stereo,Auto Sampling,Constant Bitrate 128 Kbps"));
    }
};

} // namespace

TEST_F(SettingsTest, FirstStartAppliesTheDefaultsAndWritesBackOnlyTheFolderChoice)
{
    changeEverything(options);
    settings.LoadSettings();
    expectDefaults(options);
    EXPECT_FALSE(bLoading);
    EXPECT_EQ(storedNames(), (QStringList{"optSameFolder", "txtOutPath"}));
    EXPECT_EQ(stored(QStringLiteral("optSameFolder")), QStringLiteral("False"));
    // The shared key names no user: every user reads it as their own folder.
    EXPECT_EQ(stored(QStringLiteral("txtOutPath")), QStringLiteral("~/Converted Files"));
}

TEST_F(SettingsTest, LoadingFlagClearsRightAfterTheFormatIsChosen)
{
    store(QStringLiteral("optFileFormat"), QStringLiteral("1"));
    store(QStringLiteral("sliderWMA"), QStringLiteral("10"));
    int formatWhenCleared = -1;
    int qualityWhenCleared = -1;
    Settings observed(options, reg, [&] {
        formatWhenCleared = options.selectedFormat();
        qualityWhenCleared = options.sliderWMA.Value();
    });
    observed.LoadSettings();
    EXPECT_EQ(formatWhenCleared, FormatOptions::WMA);
    EXPECT_EQ(qualityWhenCleared, 50);
    EXPECT_EQ(options.sliderWMA.Value(), 10);
}

TEST_F(SettingsTest, SavedOptionsComeBackInTheirStoredForms)
{
    changeEverything(options);
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_EQ(storedNames(), table::valueNames());
    EXPECT_EQ(stored(QStringLiteral("optSameFolder")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("optOtherFolder")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("optFileFormat")), QStringLiteral("3"));
    EXPECT_EQ(stored(QStringLiteral("chkCopyTags")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("sliderOGG")), QStringLiteral("-2"));
    EXPECT_EQ(stored(QStringLiteral("cmbMP3StereoMode")), QStringLiteral("4"));
    EXPECT_EQ(stored(QStringLiteral("sliderFLACLevel")), QStringLiteral("8"));
    EXPECT_EQ(stored(QStringLiteral("sliderOpusBitrate")), QStringLiteral("32"));
    EXPECT_EQ(stored(QStringLiteral("optOpusAudio")), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("optOpusVoIP")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("sliderAACBitrate")), QStringLiteral("320"));
    EXPECT_EQ(stored(QStringLiteral("cmbOGGvBitrate")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("chkKeepTree")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("txtNamePattern")), QStringLiteral("{album}/{title}"));

    FormatOptions next;
    Settings nextSettings(next, reg);
    nextSettings.LoadSettings();
    EXPECT_TRUE(next.optSameFolder.Value());
    EXPECT_FALSE(next.txtOutPath.Enabled());
    EXPECT_FALSE(next.cmdBrowse.Enabled());
    EXPECT_EQ(next.txtOutPath.Text(), QStringLiteral("/srv/music out"));
    EXPECT_TRUE(next.chkSubFolders.Value());
    EXPECT_TRUE(next.chkKeepTree.Value());
    EXPECT_FALSE(next.chkKeepTree.Enabled()); // only with "Other folder"
    EXPECT_TRUE(next.chkNamePattern.Value());
    EXPECT_TRUE(next.txtNamePattern.Enabled());
    EXPECT_EQ(next.txtNamePattern.Text(), QStringLiteral("{album}/{title}"));
    EXPECT_EQ(next.selectedFormat(), FormatOptions::OGG);
    EXPECT_EQ(next.frontPage(), FormatOptions::OGG);
    EXPECT_EQ(next.sliderWMA.Value(), 90);
    EXPECT_EQ(next.cmbMP3StereoMode.ListIndex(), 4);
    EXPECT_EQ(next.cmbMP3Freq.ListIndex(), 9);
    EXPECT_EQ(next.SliderMP3EncoderQuality.Value(), 1);
    EXPECT_TRUE(next.optMP3VBR.Value());
    EXPECT_TRUE(next.SliderMP3VBR.Enabled());
    EXPECT_FALSE(next.cmbMP3CBitrate.Enabled());
    EXPECT_EQ(next.SliderMP3VBR.Value(), 8);
    EXPECT_EQ(next.cmbMP3CBitrate.ListIndex(), 0);
    EXPECT_EQ(next.cmbMP3ABitrate.ListIndex(), 1);
    EXPECT_EQ(next.lblSliderOGG.Caption(), QStringLiteral("-2"));
    EXPECT_TRUE(next.optOGGCBR.Value());
    EXPECT_TRUE(next.cmbOGGCBitrate.Enabled());
    EXPECT_FALSE(next.cmbOGGVBitrate.Enabled());
    EXPECT_EQ(next.cmbOGGCBitrate.ListIndex(), 8);
    EXPECT_EQ(next.cmbOGGVBitrate.ListIndex(), 0);
    EXPECT_EQ(next.lblFormat.Caption().section(u'\n', 0, 0), QStringLiteral("OGG,Constant Bitrate 64 Kbps,Quality=-2"));
}

TEST_F(SettingsTest, NoFormatChosenWritesNoFormat)
{
    store(QStringLiteral("optFileFormat"), QStringLiteral("0"));
    options.optFileFormat(FormatOptions::MP3).setValue(false);
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_EQ(stored(QStringLiteral("optFileFormat")), QStringLiteral("0"));
}

TEST_F(SettingsTest, EmptyOutputFolderReadsAsItsDefault)
{
    options.txtOutPath.setText(QString());
    ASSERT_TRUE(settings.SaveSettings());
    FormatOptions next;
    next.txtOutPath.setText(QStringLiteral("/elsewhere"));
    Settings(next, reg).LoadSettings();
    EXPECT_EQ(next.txtOutPath.Text(), QDir::homePath() + QStringLiteral("/Converted Files"));
}

TEST_F(SettingsTest, OptionTextsInAnyCaseAndAsNumbers)
{
    struct Case {
        const char* text;
        bool sameFolder;
    };
    for (const Case& c : {Case{"TRUE", true}, Case{"fAlSe", false}, Case{"1", true}, Case{"0", false}, Case{"-1", true},
                          Case{" true ", true}, Case{"2.5", true}, Case{"0.0", false}}) {
        store(QStringLiteral("optOtherFolder"), QStringLiteral("False"));
        store(QStringLiteral("optSameFolder"), QString::fromLatin1(c.text));
        FormatOptions o;
        Settings(o, reg).LoadSettings();
        EXPECT_EQ(o.optSameFolder.Value(), c.sameFolder) << c.text;
        EXPECT_EQ(o.txtOutPath.Enabled(), !c.sameFolder) << c.text;
        EXPECT_EQ(stored(QStringLiteral("optSameFolder")), c.sameFolder ? "True" : "False") << c.text;
    }

    // The OGG defaults are stored as numbers: "1" turns the option on.
    store(QStringLiteral("optOGGCBR"), QStringLiteral("1"));
    store(QStringLiteral("optOGGVBR"), QStringLiteral("0"));
    FormatOptions o;
    Settings(o, reg).LoadSettings();
    EXPECT_TRUE(o.optOGGCBR.Value());
    EXPECT_FALSE(o.optOGGVBR.Value());
    EXPECT_TRUE(o.cmbOGGCBitrate.Enabled());
    EXPECT_FALSE(o.cmbOGGVBitrate.Enabled());
}

TEST_F(SettingsTest, ValuesThatDoNotApplyAreSkippedAndTheRestStillLoads)
{
    options.cmbMP3CBitrate.setListIndex(3);
    options.optMP3ABR.click();
    options.SliderMP3VBR.setValue(2);
    store(QStringLiteral("cmbMP3CBitrate"), QStringLiteral("10")); // one past the last entry
    store(QStringLiteral("cmbMP3ABitrate"), QStringLiteral("-1"));
    store(QStringLiteral("cmbMP3Freq"), QStringLiteral("many"));
    store(QStringLiteral("optMP3ABR"), QStringLiteral("yes"));
    store(QStringLiteral("SliderMP3VBR"), QStringLiteral("nan"));
    store(QStringLiteral("optFileFormat"), QStringLiteral("7")); // one past the last format
    store(QStringLiteral("sliderOGG"), QStringLiteral("9"));
    settings.LoadSettings();

    EXPECT_EQ(options.cmbMP3CBitrate.ListIndex(), 3);
    EXPECT_EQ(options.cmbMP3ABitrate.ListIndex(), 6);
    EXPECT_EQ(options.cmbMP3Freq.ListIndex(), 0);
    EXPECT_EQ(options.SliderMP3VBR.Value(), 2);
    EXPECT_EQ(options.selectedFormat(), FormatOptions::MP3);
    EXPECT_EQ(options.sliderOGG.Value(), 9);
    // The CBR default turned CBR on; "yes" left ABR as it was, and the
    // group allows one option on, so CBR wins.
    EXPECT_TRUE(options.optMP3CBR.Value());
    EXPECT_FALSE(options.optMP3ABR.Value());
    EXPECT_TRUE(options.cmbMP3CBitrate.Enabled());
    EXPECT_FALSE(options.cmbMP3ABitrate.Enabled());
}

TEST_F(SettingsTest, SliderValuesAreLimitedToTheirRangeAndRounded)
{
    store(QStringLiteral("sliderWMA"), QStringLiteral("1000"));
    store(QStringLiteral("sliderOGG"), QStringLiteral("-7"));
    store(QStringLiteral("SliderMP3EncoderQuality"), QStringLiteral("6.5"));
    store(QStringLiteral("SliderMP3VBR"), QStringLiteral("7.5"));
    settings.LoadSettings();
    EXPECT_EQ(options.sliderWMA.Value(), 100);
    EXPECT_EQ(options.sliderOGG.Value(), -2);
    EXPECT_EQ(options.SliderMP3EncoderQuality.Value(), 6);
    EXPECT_EQ(options.SliderMP3VBR.Value(), 8);
}

TEST_F(SettingsTest, FormatIndexChoosesTheFormatAndBringsItsPageForward)
{
    store(QStringLiteral("optFileFormat"), QStringLiteral("0"));
    settings.LoadSettings();
    EXPECT_EQ(options.selectedFormat(), FormatOptions::WAV);
    EXPECT_EQ(options.frontPage(), FormatOptions::WAV);
    EXPECT_EQ(options.lblFormat.Caption().section(u'\n', 0, 0), QStringLiteral("WAV, Bitrate will be as input"));
}

TEST_F(SettingsTest, LaterFormatIndexesKeepTheirMeaningAndShowTheirSummaries)
{
    struct Case {
        const char* index;
        FormatOptions::Format format;
        const char* summary;
    };
    store(QStringLiteral("sliderFLACLevel"), QStringLiteral("0"));
    store(QStringLiteral("sliderOpusBitrate"), QStringLiteral("300")); // beyond the range: the maximum
    store(QStringLiteral("optOpusVoIP"), QStringLiteral("1"));
    store(QStringLiteral("optOpusAudio"), QStringLiteral("0"));
    store(QStringLiteral("sliderAACBitrate"), QStringLiteral("64"));
    for (const Case c : {Case{"3", FormatOptions::OGG, "OGG,Variable Bitrate 128 Kbps,Quality=3"},
                         Case{"4", FormatOptions::FLAC, "FLAC,Compression Level=0"},
                         Case{"5", FormatOptions::OPUS, "Opus,Bitrate 256 Kbps,VoIP"},
                         Case{"6", FormatOptions::AAC, "AAC,Bitrate 64 Kbps"}}) {
        store(QStringLiteral("optFileFormat"), QLatin1String(c.index));
        settings.LoadSettings();
        EXPECT_EQ(options.selectedFormat(), c.format) << c.index;
        EXPECT_EQ(options.frontPage(), c.format) << c.index;
        EXPECT_EQ(options.lblFormat.Caption().section(u'\n', 0, 0), QLatin1String(c.summary));
    }
    // An index past the last format is skipped.
    store(QStringLiteral("optFileFormat"), QStringLiteral("7"));
    settings.LoadSettings();
    EXPECT_EQ(options.selectedFormat(), FormatOptions::AAC);
}

TEST_F(SettingsTest, RestoreDefaultsDeletesTheKeyAndLoadsTheDefaults)
{
    changeEverything(options);
    ASSERT_TRUE(settings.SaveSettings());
    ASSERT_EQ(storedNames().size(), table::valueNames().size());
    options.cmdDefaults.click();
    expectDefaults(options);
    EXPECT_EQ(storedNames(), (QStringList{"optSameFolder", "txtOutPath"}));
}

TEST_F(SettingsTest, KeyPathWithLeadingAndTrailingBackslashesIsTheSameKey)
{
    changeEverything(options);
    ASSERT_TRUE(settings.SaveSettings());
    const QString padded = QLatin1Char('\\') + kSettingsKey + QLatin1Char('\\');
    EXPECT_EQ(get(padded, QStringLiteral("txtOutPath"), kAbsent), QStringLiteral("/srv/music out"));
    ASSERT_TRUE(save(padded, QStringLiteral("sliderWMA"), QStringLiteral("12")));
    FormatOptions next;
    Settings(next, reg).LoadSettings();
    EXPECT_EQ(next.sliderWMA.Value(), 12);
}

TEST_F(SettingsTest, OverrideSetsOneOptionByNameAndStoredForm)
{
    settings.LoadSettings();
    QString error;
    EXPECT_TRUE(settings::applySettingOverride(options, QStringLiteral("OPTFILEFORMAT=3"), &error))
        << error.toStdString();
    EXPECT_EQ(options.selectedFormat(), FormatOptions::OGG);
    EXPECT_TRUE(settings::applySettingOverride(options, QStringLiteral("cmbOGGvBitrate"), QStringLiteral("0"), &error));
    EXPECT_EQ(options.cmbOGGVBitrate.Text(), QStringLiteral("320 Kbps"));
    EXPECT_EQ(options.lblFormat.Caption().section(u'\n', 0, 0),
              QStringLiteral("OGG,Variable Bitrate 320 Kbps,Quality=3"));
    EXPECT_TRUE(settings::applySettingOverride(options, QStringLiteral("optMP3ABR=true"), &error));
    EXPECT_TRUE(options.cmbMP3ABitrate.Enabled());
    EXPECT_FALSE(options.cmbMP3CBitrate.Enabled());
    EXPECT_TRUE(settings::applySettingOverride(options, QStringLiteral("txtOutPath=/tmp/a=b"), &error));
    EXPECT_EQ(options.txtOutPath.Text(), QStringLiteral("/tmp/a=b"));

    EXPECT_FALSE(settings::applySettingOverride(options, QStringLiteral("chkWMAFileTags=1"), &error));
    EXPECT_EQ(error, QStringLiteral("unknown option 'chkWMAFileTags'"));
    EXPECT_FALSE(settings::applySettingOverride(options, QStringLiteral("cmbMP3CBitrate=10"), &error));
    EXPECT_EQ(error, QStringLiteral("option 'cmbMP3CBitrate': value '10' does not apply"));
    EXPECT_EQ(options.cmbMP3CBitrate.ListIndex(), 6);
    EXPECT_FALSE(settings::applySettingOverride(options, QStringLiteral("optSameFolder"), &error));
    EXPECT_EQ(error, QStringLiteral("'optSameFolder' is not of the form NAME=VALUE"));
    EXPECT_FALSE(settings::applySettingOverride(options, QStringLiteral("=1"), &error));

    // Nothing of an override is saved by loading.
    EXPECT_EQ(stored(QStringLiteral("optFileFormat")), kAbsent);
}

TEST(UserFolder, FoldersInTheHomeAreStoredWithoutNamingTheUser)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(userfolder::toStoredForm(home + QStringLiteral("/Music")), QStringLiteral("~/Music"));
    EXPECT_EQ(userfolder::toStoredForm(home), QStringLiteral("~"));
    EXPECT_EQ(userfolder::toStoredForm(home + QStringLiteral("x/Music")), home + QStringLiteral("x/Music"));
    EXPECT_EQ(userfolder::fromStoredForm(QStringLiteral("~/Music")), home + QStringLiteral("/Music"));
    EXPECT_EQ(userfolder::fromStoredForm(QStringLiteral("~x/Music")), QStringLiteral("~x/Music"));
}

TEST_F(SettingsTest, AFolderTheUserCannotWriteOrMakeFallsBackToTheirOwnSayingSoOnce)
{
    const QString own = QDir::homePath() + QStringLiteral("/Converted Files");
    const QString unmakeable = dir.filePath(QStringLiteral("missing/deeper"));
    const struct {
        QString folder;
        bool sameFolder;
        QString expected;
        int messages;
    } cases[] = {
        {unmakeable, false, own, 1},
        {unmakeable, true, own, 0}, // not in use: no message
        {dir.filePath(QStringLiteral("new")), false, dir.filePath(QStringLiteral("new")), 0},
        // Longer than any option holds: ignored (with a warning on the log),
        // never shown in a box.
        {dir.filePath(QStringLiteral("long/")) + QString(1 << 20, u'x'), false, own, 0},
    };
    for (const auto& c : cases) {
        store(QStringLiteral("txtOutPath"), c.folder);
        store(QStringLiteral("optSameFolder"), c.sameFolder ? QStringLiteral("True") : QStringLiteral("False"));
        testsupport::ScriptedDesktop desktop;
        FormatOptions next;
        Settings loader(next, reg);
        loader.setDesktop(&desktop);
        loader.LoadSettings();
        EXPECT_EQ(next.txtOutPath.Text(), c.expected);
        ASSERT_EQ(desktop.boxes.size(), c.messages);
        if (c.messages > 0) {
            EXPECT_TRUE(desktop.boxes[0].text.contains(c.folder) && desktop.boxes[0].text.contains(own));
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("new")))) << "loading made a folder";
}

// Another program holding the store (a sqlite3 shell in a transaction): a
// write lock lets the options be read, and a save fails once with a message;
// an exclusive one costs one short wait and one message, the defaults apply
// and are never saved over the options.
TEST_F(SettingsTest, AStoreHeldByAnotherConnectionCostsOneShortWait)
{
    const QString inUse = lang::caption(lang::StringId::SettingsInUse);
    const struct {
        const char* lock;
        int expectedWma;
        QStringList loadMessages;
    } cases[] = {
        {"BEGIN IMMEDIATE", 10, {}},
        {"BEGIN EXCLUSIVE", 50, {inUse}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lock);
        // Missing before the first case: only the state after it matters.
        static_cast<void>(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kSettingsKey, QString()));
        store(QStringLiteral("sliderWMA"), QStringLiteral("10"));
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(reg.hivePath(HKEY_LOCAL_MACHINE)).constData(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, c.lock, nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "DELETE FROM hive_values", nullptr, nullptr, nullptr), SQLITE_OK);

        testsupport::ScriptedDesktop desktop;
        FormatOptions next;
        Settings loader(next, reg);
        loader.setDesktop(&desktop);
        QElapsedTimer clock;
        clock.start();
        loader.LoadSettings();
        // Far below what it took when every value waited on its own (half a
        // second each): a bound that holds on a machine under any load.
        EXPECT_LT(clock.elapsed(), settings::table::valueNames().size() * 500 / 2);
        EXPECT_EQ(next.sliderWMA.Value(), c.expectedWma);
        QStringList texts;
        for (const auto& box : desktop.boxes)
            texts << box.text;
        EXPECT_EQ(texts, c.loadMessages);

        next.sliderWMA.setValue(77); // a change, which the save must write
        EXPECT_FALSE(loader.SaveSettings());
        ASSERT_EQ(desktop.boxes.size(), 1);
        EXPECT_EQ(desktop.boxes.back().text, c.loadMessages.isEmpty() ? lang::caption(lang::StringId::SettingsNotSaved)
                                                                      : inUse); // the defaults are not saved at all

        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        EXPECT_EQ(storedNames(), QStringList{QStringLiteral("sliderWMA")});
        // Once the store is free again the change is saved, but the defaults
        // of an unread load are still not saved over the options.
        EXPECT_EQ(loader.SaveSettings(), c.loadMessages.isEmpty());
        EXPECT_EQ(stored(QStringLiteral("sliderWMA")), c.loadMessages.isEmpty() ? QStringLiteral("77") : "10");
    }
}

// Two windows on one store, each changing an option of its own: whichever
// closes last keeps the other's choice too.
TEST_F(SettingsTest, TwoWindowsKeepEachOthersChanges)
{
    FormatOptions first, second;
    Settings firstSettings(first, reg), secondSettings(second, reg);
    firstSettings.LoadSettings();
    secondSettings.LoadSettings();
    first.sliderWMA.setValue(90);
    second.optFileFormat(FormatOptions::OGG).click();
    ASSERT_TRUE(firstSettings.SaveSettings());
    ASSERT_TRUE(secondSettings.SaveSettings());

    FormatOptions next;
    Settings(next, reg).LoadSettings();
    EXPECT_EQ(next.sliderWMA.Value(), 90);
    EXPECT_TRUE(next.optFileFormat(FormatOptions::OGG).Value());
}
