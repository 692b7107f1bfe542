#include "StoreTest.h"
#include "options/FormatOptions.h"
#include "settings/CRegister.h"
#include "settings/RunOptions.h"
#include "settings/SettingsTable.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using options::FormatOptions;
using settings::table::kSettingsKey;

using namespace settings; // the subsystem under test

namespace {

class RunOptionsTest : public storetest::StoreTest {
protected:
    RunOptions run;
    QString error;
};

TEST_F(RunOptionsTest, LoadsTheSavedOptionsAndAssignmentsWithoutWriting)
{
    ASSERT_TRUE(save(kSettingsKey, QStringLiteral("optFileFormat"), QStringLiteral("2")));
    ASSERT_TRUE(run.load(reg, {QStringLiteral("sliderWMA=70")}, &error)) << error.toStdString();
    EXPECT_EQ(run.formatOptions().selectedFormat(), FormatOptions::MP3);
    EXPECT_EQ(run.formatOptions().sliderWMA.Value(), 70);
    EXPECT_EQ(get(kSettingsKey, QStringLiteral("sliderWMA"), QString()), QString());

    RunOptions other;
    EXPECT_FALSE(other.load(reg, {QStringLiteral("noSuchOption=1")}, &error));
    EXPECT_EQ(error, QStringLiteral("unknown option 'noSuchOption'"));
}

TEST_F(RunOptionsTest, ChoicesActAsTheControlsWould)
{
    ASSERT_TRUE(run.load(reg, {}, &error));
    FormatOptions& o = run.formatOptions();

    EXPECT_TRUE(run.chooseFormat(FormatOptions::OGG));
    EXPECT_EQ(o.selectedFormat(), FormatOptions::OGG);
    for (int index : {-1, FormatOptions::kFormatCount})
        EXPECT_FALSE(run.chooseFormat(index)) << index;
    EXPECT_EQ(o.selectedFormat(), FormatOptions::OGG);

    run.chooseSameFolder();
    EXPECT_TRUE(o.optSameFolder.Value());
    EXPECT_FALSE(o.txtOutPath.Enabled());

    const struct {
        const char* given;
        const char* shown;
    } folders[] = {{"/srv/out/", "/srv/out"}, {"/", "/"}};
    for (const auto& folder : folders) {
        run.chooseOutputFolder(QString::fromUtf8(folder.given));
        EXPECT_TRUE(o.optOtherFolder.Value());
        EXPECT_TRUE(o.txtOutPath.Enabled());
        EXPECT_EQ(o.txtOutPath.Text(), QString::fromUtf8(folder.shown)) << folder.given;
    }
}

} // namespace
