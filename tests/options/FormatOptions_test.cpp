#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using options::FormatOptions;

namespace {

struct EnabledStates {
    bool cbrList, abrList, vbrSlider, oggCbrList, oggVbrList, outPath, browse;
    bool operator==(const EnabledStates&) const = default;
};

EnabledStates enabledStates(const FormatOptions& o)
{
    return {o.cmbMP3CBitrate.Enabled(), o.cmbMP3ABitrate.Enabled(), o.SliderMP3VBR.Enabled(),
            o.cmbOGGCBitrate.Enabled(), o.cmbOGGVBitrate.Enabled(), o.txtOutPath.Enabled(),
            o.cmdBrowse.Enabled()};
}

//! The summary's first line: the format with its settings.
QString formatLine(const FormatOptions& o)
{
    return o.lblFormat.Caption().section(u'\n', 0, 0);
}

} // namespace

TEST(FormatOptions, StartsInTheDesignStateWithConsistentEnabledStates)
{
    FormatOptions o;
    EXPECT_EQ(o.selectedFormat(), FormatOptions::MP3);
    EXPECT_EQ(o.frontPage(), FormatOptions::MP3);
    EXPECT_FALSE(o.wmaNoticeVisible());
    EXPECT_EQ(o.sliderWMA.Value(), 50);
    EXPECT_EQ(o.lblWMAQuality.Caption(), QStringLiteral("50"));
    EXPECT_EQ(o.sliderOGG.Min(), -2);
    EXPECT_EQ(o.sliderOGG.Max(), 10);
    EXPECT_EQ(o.lblSliderOGG.Caption(), QStringLiteral("3"));
    EXPECT_TRUE(o.optMP3CBR.Value());
    EXPECT_TRUE(o.optOGGVBR.Value());
    EXPECT_TRUE(o.optOtherFolder.Value());
    EXPECT_EQ(o.txtOutPath.Text(), QDir::homePath() + QStringLiteral("/Converted Files"));
    EXPECT_EQ(enabledStates(o), (EnabledStates{true, false, false, false, true, true, true}));
    EXPECT_FALSE(o.chkWMAFileTags.Value());
    EXPECT_TRUE(o.chkCopyTags.Value());
    const char* const tags[] = {"Title",  "Artist",    "Album Title", "Description",
                                "Rating", "Copyright", "Genre",       "Year"};
    // The field names are placeholders: the boxes themselves start empty.
    for (int i = 0; i < FormatOptions::kTagCount; ++i) {
        EXPECT_EQ(o.txtWMATags(i).Text(), QString());
        EXPECT_EQ(FormatOptions::tagPlaceholder(i), QString::fromLatin1(tags[i]));
        EXPECT_FALSE(o.txtWMATags(i).Enabled());
    }
    EXPECT_EQ(formatLine(o), QStringLiteral("MP3,Joint Stereo,Auto Sampling,Constant Bitrate 128 Kbps"));
}

TEST(FormatOptions, ListsHoldTheirFixedItems)
{
    FormatOptions o;
    EXPECT_EQ(o.cmbMP3StereoMode.items(),
              (QStringList{"Mono", "Stereo", "Joint Stereo", "Forced Joint Stereo", "Dual Channels"}));
    EXPECT_EQ(o.cmbMP3Freq.items(), (QStringList{"Auto Sampling", "8 KHz", "11.025 KHz", "12 KHz", "16 KHz",
                                                 "22.05 KHz", "24 KHz", "32 KHz", "44.1 KHz", "48 KHz"}));
    EXPECT_EQ(o.cmbMP3CBitrate.items(), (QStringList{"320 Kbps", "288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps",
                                                     "160 Kbps", "128 Kbps", "96 Kbps", "64 Kbps", "32 Kbps"}));
    EXPECT_EQ(o.cmbMP3ABitrate.items().first(), QStringLiteral("310 Kbps"));
    EXPECT_EQ(o.cmbMP3ABitrate.items().mid(1), o.cmbMP3CBitrate.items().mid(1));
    EXPECT_EQ(o.cmbOGGCBitrate.items(), o.cmbMP3CBitrate.items().mid(0, 9));
    EXPECT_EQ(o.cmbOGGVBitrate.items(), o.cmbOGGCBitrate.items());
}

TEST(FormatOptions, EachModeClickKeepsTheInvariantWithoutTouchingValues)
{
    FormatOptions o;
    o.cmbMP3CBitrate.setListIndex(2);
    o.cmbMP3ABitrate.setListIndex(0);
    o.SliderMP3VBR.setValue(7);

    o.optMP3ABR.click();
    EXPECT_TRUE(o.optMP3ABR.Value());
    EXPECT_FALSE(o.optMP3CBR.Value());
    EXPECT_EQ(enabledStates(o), (EnabledStates{false, true, false, false, true, true, true}));

    o.optMP3VBR.click();
    EXPECT_EQ(enabledStates(o), (EnabledStates{false, false, true, false, true, true, true}));

    o.optMP3CBR.click();
    EXPECT_EQ(enabledStates(o), (EnabledStates{true, false, false, false, true, true, true}));

    o.optOGGCBR.click();
    EXPECT_FALSE(o.optOGGVBR.Value());
    EXPECT_EQ(enabledStates(o), (EnabledStates{true, false, false, true, false, true, true}));
    o.optOGGVBR.click();
    EXPECT_EQ(enabledStates(o), (EnabledStates{true, false, false, false, true, true, true}));

    EXPECT_EQ(o.cmbMP3CBitrate.ListIndex(), 2);
    EXPECT_EQ(o.cmbMP3ABitrate.ListIndex(), 0);
    EXPECT_EQ(o.SliderMP3VBR.Value(), 7);
}

TEST(FormatOptions, FolderChoiceKeepsThePathAndRestoresTheInvariantAfterABatch)
{
    FormatOptions o;
    o.txtOutPath.setText(QStringLiteral("/music/out"));
    o.optSameFolder.click();
    EXPECT_FALSE(o.optOtherFolder.Value());
    EXPECT_FALSE(o.txtOutPath.Enabled());
    EXPECT_FALSE(o.cmdBrowse.Enabled());
    EXPECT_EQ(o.txtOutPath.Text(), QStringLiteral("/music/out"));

    // The end of a batch enables Browse whatever the folder option.
    o.cmdBrowse.setEnabled(true);
    o.optSameFolder.click();
    EXPECT_FALSE(o.cmdBrowse.Enabled());

    o.optOtherFolder.click();
    EXPECT_TRUE(o.txtOutPath.Enabled());
    EXPECT_TRUE(o.cmdBrowse.Enabled());
    EXPECT_EQ(o.txtOutPath.Text(), QStringLiteral("/music/out"));
}

TEST(FormatOptions, TagCheckBoxEnablesTheBoxesAndKeepsTheirText)
{
    FormatOptions o;
    o.txtWMATags(7).setText(QStringLiteral("1999"));
    o.chkWMAFileTags.setValue(true);
    for (int i = 0; i < FormatOptions::kTagCount; ++i)
        EXPECT_TRUE(o.txtWMATags(i).Enabled()) << i;
    o.chkWMAFileTags.setValue(false);
    for (int i = 0; i < FormatOptions::kTagCount; ++i)
        EXPECT_FALSE(o.txtWMATags(i).Enabled()) << i;
    EXPECT_EQ(o.txtWMATags(7).Text(), QStringLiteral("1999"));
}

TEST(FormatOptions, FormatClickBringsItsPageForwardAndLeavesTheSummary)
{
    FormatOptions o;
    const QString before = o.lblFormat.Caption();
    QSignalSpy pages(&o, &FormatOptions::frontPageChanged);
    o.optFileFormat(FormatOptions::OGG).click();
    EXPECT_EQ(o.selectedFormat(), FormatOptions::OGG);
    EXPECT_FALSE(o.optFileFormat(FormatOptions::MP3).Value());
    EXPECT_EQ(o.frontPage(), FormatOptions::OGG);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages.at(0).at(0).toInt(), FormatOptions::OGG);
    EXPECT_EQ(o.lblFormat.Caption(), before);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("OGG,Variable Bitrate 128 Kbps,Quality=3"));
}

TEST(FormatOptions, SummaryTexts)
{
    FormatOptions o;
    o.cmbMP3StereoMode.setListIndex(2);
    o.cmbMP3Freq.setListIndex(0);
    o.optMP3CBR.click();
    o.cmbMP3CBitrate.setListIndex(6);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("MP3,Joint Stereo,Auto Sampling,Constant Bitrate 128 Kbps"));

    o.cmbMP3StereoMode.setListIndex(1);
    o.cmbMP3Freq.setListIndex(8);
    o.optMP3VBR.click();
    o.SliderMP3VBR.setValue(5);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("MP3,Stereo,44.1 KHz,VBR Quality=5"));

    o.optMP3ABR.click();
    o.cmbMP3ABitrate.setListIndex(0);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("MP3,Stereo,44.1 KHz,Average Bitrate 310 Kbps"));

    o.optFileFormat(FormatOptions::OGG).click();
    o.sliderOGG.setValue(-2);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("OGG,Variable Bitrate 128 Kbps,Quality=-2"));
    o.optOGGCBR.click();
    o.cmbOGGCBitrate.setListIndex(8);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("OGG,Constant Bitrate 64 Kbps,Quality=-2"));
    // Neither OGG mode chosen: the variable-bitrate form.
    o.optOGGCBR.setValue(false);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("OGG,Variable Bitrate 128 Kbps,Quality=-2"));

    o.optFileFormat(FormatOptions::WMA).click();
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("WMA,Encoding Quality= 50"));

    o.optFileFormat(FormatOptions::WAV).click();
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("WAV, Bitrate will be as input"));

    o.optFileFormat(FormatOptions::FLAC).click();
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("FLAC,Compression Level=5"));
    o.optFileFormat(FormatOptions::OPUS).click();
    o.sliderOpusBitrate.setValue(96);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("Opus,Bitrate 96 Kbps,Audio"));
    o.optFileFormat(FormatOptions::AAC).click();
    o.sliderAACBitrate.setValue(1000); // limited to 320
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("AAC,Bitrate 320 Kbps"));
    EXPECT_EQ(o.lblAACBitrate.Caption(), QStringLiteral("320 Kbps"));
}

// The second line says whether names come from tags and how many
// conversions run at once.
TEST(FormatOptions, TheSummarysSecondLineSaysWhatElseDecidesTheOutputs)
{
    FormatOptions o;
    o.sliderSimultaneous.setMax(8);
    const struct {
        bool names;
        int atOnce;
        const char* line;
    } cases[] = {
        {false, 1, "one at a time"},
        {false, 4, "4 at once"},
        {true, 1, "names from tags \u00B7 one at a time"},
        {true, 8, "names from tags \u00B7 8 at once"},
    };
    for (const auto& c : cases) {
        o.chkNamePattern.setValue(c.names);
        o.sliderSimultaneous.setValue(c.atOnce);
        o.UpdateFormatSummary();
        EXPECT_EQ(o.lblFormat.Caption(), QStringLiteral("MP3,Joint Stereo,Auto Sampling,Constant Bitrate 128 Kbps\n") +
                                             QString::fromUtf8(c.line));
    }
}

// The summary is worded in the language shown: a change of language words
// it again from what it said, with the list items and numbers as that
// language writes them.
TEST(FormatOptions, TheSummaryFollowsTheLanguage)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Lang")));
    ASSERT_TRUE(
        testsupport::writeFile(home.filePath(QStringLiteral("Lang/Test.ini")),
                               "[Tonemill]\n10281=de\n10289=Stereo-DE\n10294=%1 kHz\n10295=%1 kbit/s\n"
                               "10308=MP3, %1, Abtastrate %2, VBR-Qualit\xc3\xa4t %3\n10316=%1 gleichzeitig\n"));
    qputenv("TONEMILL_HOME", home.path().toUtf8());
    FormatOptions o;
    o.sliderSimultaneous.setMax(8);
    o.sliderSimultaneous.setValue(3);
    o.cmbMP3StereoMode.setListIndex(1);
    o.cmbMP3Freq.setListIndex(8);
    o.optMP3VBR.click();
    o.UpdateFormatSummary();
    o.optFileFormat(FormatOptions::OPUS).click(); // not in the line until it is rebuilt

    lang::sLanguageFile = QStringLiteral("Test.ini");
    o.applyLanguage();
    EXPECT_EQ(o.lblFormat.Caption(),
              QStringLiteral("MP3, Stereo-DE, Abtastrate 44,1 kHz, VBR-Qualit\u00E4t 5\n3 gleichzeitig"));
    EXPECT_EQ(o.lblOpusBitrate.Caption(), QStringLiteral("128 kbit/s"));
    lang::sLanguageFile.clear();
    o.applyLanguage();
    EXPECT_EQ(formatLine(o), QStringLiteral("MP3,Stereo,44.1 KHz,VBR Quality=5"));
    EXPECT_EQ(o.lblOpusBitrate.Caption(), QStringLiteral("128 Kbps"));
    qunsetenv("TONEMILL_HOME");
}

TEST(FormatOptions, SummaryStaysWhenNothingDecidesIt)
{
    FormatOptions o;
    o.lblFormat.setCaption(QStringLiteral("before"));
    o.optMP3CBR.setValue(false); // MP3 with no encoding mode chosen
    ASSERT_FALSE(o.optMP3ABR.Value() || o.optMP3VBR.Value());
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("before"));

    o.optFileFormat(FormatOptions::MP3).setValue(false); // no format chosen
    ASSERT_EQ(o.selectedFormat(), -1);
    o.UpdateFormatSummary();
    EXPECT_EQ(formatLine(o), QStringLiteral("before"));
}

TEST(FormatOptions, SliderLabelsFollowEveryChangeAndTheRangeRules)
{
    FormatOptions o;
    o.sliderOGG.setValue(-5);
    EXPECT_EQ(o.sliderOGG.Value(), -2);
    EXPECT_EQ(o.lblSliderOGG.Caption(), QStringLiteral("-2"));
    o.SliderMP3EncoderQuality.setValue(1000);
    EXPECT_EQ(o.lblMP3EncodSlider.Caption(), QStringLiteral("9"));
    o.SliderMP3VBR.setValue(0);
    EXPECT_EQ(o.lblMP3VBREncodSlider.Caption(), QStringLiteral("0"));
    o.sliderWMA.setValue(77);
    EXPECT_EQ(o.lblWMAQuality.Caption(), QStringLiteral("77"));

    QSignalSpy changes(&o.sliderWMA, &options::SliderState::Change);
    o.sliderWMA.setValue(77); // unchanged, still a Change
    EXPECT_EQ(changes.size(), 1);
    o.sliderWMA.setMax(50);
    EXPECT_EQ(o.sliderWMA.Value(), 50);
    EXPECT_EQ(o.lblWMAQuality.Caption(), QStringLiteral("50"));
    o.sliderWMA.setMin(60);
    EXPECT_EQ(o.sliderWMA.Min(), 49);
    o.sliderWMA.setMax(10);
    EXPECT_EQ(o.sliderWMA.Max(), 50);
}

TEST(FormatOptions, ListRefusesAnIndexOutsideItsItems)
{
    FormatOptions o;
    EXPECT_FALSE(o.cmbMP3CBitrate.setListIndex(10));
    EXPECT_FALSE(o.cmbMP3CBitrate.setListIndex(-2));
    EXPECT_EQ(o.cmbMP3CBitrate.ListIndex(), 6);
    EXPECT_TRUE(o.cmbMP3CBitrate.setListIndex(9));
    EXPECT_EQ(o.cmbMP3CBitrate.Text(), QStringLiteral("32 Kbps"));
    EXPECT_TRUE(o.cmbMP3CBitrate.setListIndex(-1));
    EXPECT_EQ(o.cmbMP3CBitrate.Text(), QString());
}

// The picker is titled for what it does, and keeps its own folder.
TEST(FormatOptions, BrowseAsksWithTheTitleAndNewStyleAndTakesThePathUnchanged)
{
    FormatOptions o;
    testsupport::ScriptedDesktop desktop;
    desktop.folderAnswers = {QStringLiteral("/data/out dir/"), QString()};
    o.setDesktop(desktop);
    o.cmdBrowse.click();
    EXPECT_EQ(o.txtOutPath.Text(), QStringLiteral("/data/out dir/"));
    o.cmdBrowse.click(); // cancelled
    EXPECT_EQ(o.txtOutPath.Text(), QStringLiteral("/data/out dir/"));
    ASSERT_EQ(desktop.folderPickers.size(), 2);
    for (const auto& request : desktop.folderPickers) {
        EXPECT_EQ(request.title, QStringLiteral("Select the output folder"));
        EXPECT_TRUE(request.newStyle);
        EXPECT_EQ(request.folderKey, QStringLiteral("OutputFolder"));
    }

    // A disabled button cannot be pressed.
    o.optSameFolder.click();
    o.cmdBrowse.click();
    EXPECT_EQ(desktop.folderPickers.size(), 2);

    // After a batch Browse is enabled whatever the folder option, and a
    // picked folder lands in the disabled box.
    o.cmdBrowse.setEnabled(true);
    desktop.folderAnswers = {QStringLiteral("/after/batch")};
    o.cmdBrowse.click();
    EXPECT_EQ(o.txtOutPath.Text(), QStringLiteral("/after/batch"));
    EXPECT_FALSE(o.txtOutPath.Enabled());
}

TEST(FormatOptions, BrowseWithoutADesktopDoesNothing)
{
    FormatOptions o;
    const QString before = o.txtOutPath.Text();
    o.cmdBrowse.click();
    EXPECT_EQ(o.txtOutPath.Text(), before);
}

TEST(FormatOptions, LoudnessWritesTagsByDefaultAndItsTargetFollowsTheNormaliseBox)
{
    FormatOptions o;
    EXPECT_TRUE(o.chkReplayGain.Value());
    EXPECT_FALSE(o.chkNormalize.Value());
    EXPECT_EQ(o.sliderNormalizeTarget.Value(), -18);
    EXPECT_EQ(o.sliderNormalizeTarget.Min(), -40);
    EXPECT_EQ(o.sliderNormalizeTarget.Max(), -5);
    EXPECT_TRUE(o.optNormalizeTrack.Value());
    EXPECT_FALSE(o.optNormalizeAlbum.Value());
    const auto enabled = [&o] {
        return std::array{o.sliderNormalizeTarget.Enabled(), o.optNormalizeTrack.Enabled(),
                          o.optNormalizeAlbum.Enabled()};
    };
    EXPECT_EQ(enabled(), (std::array{false, false, false}));
    o.chkNormalize.setValue(true);
    EXPECT_EQ(enabled(), (std::array{true, true, true}));
    o.optNormalizeAlbum.setValue(true);
    EXPECT_FALSE(o.optNormalizeTrack.Value());
    o.chkNormalize.setValue(false);
    EXPECT_EQ(enabled(), (std::array{false, false, false}));
    EXPECT_TRUE(o.optNormalizeAlbum.Value()); // disabling keeps the choice
}
