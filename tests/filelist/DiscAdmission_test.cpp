// Admission of a CUE sheet: a row per track, the size text of its kind, the
// sheet's problems in the admission box, and the Add Audio CD menu.

#include "engine/AudioEngine.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileAdmissionRules.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "support/DiscImage.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"

#include <QAction>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using testsupport::DiscImage;
using testsupport::ScriptedDesktop;

class DiscAdmissionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(engine::InitDecodingEngine()); }

    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(image.make(path(QStringLiteral("disc.bin")), {{75, 0}, {150, 10}, {76, 0}}));
        ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("disc.cue")), image.sheet(QStringLiteral("disc.bin"))));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    qint16 add(QString p) { return admission.AddFile2Grid(p); }

    QTemporaryDir dir;
    DiscImage image;
    filelist::FileList list;
    ScriptedDesktop desktop;
    filelist::FileAdmission admission{desktop, [this] { return &list; }};
};

TEST_F(DiscAdmissionTest, ASheetBecomesOneRowPerTrack)
{
    ASSERT_EQ(add(path(QStringLiteral("disc.cue"))), 1);
    ASSERT_EQ(list.count(), 3);
    const QString sheet = path(QStringLiteral("disc.cue"));
    const char* durations[] = {"00:01", "00:02", "00:01"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list.at(row).path, sheet + QStringLiteral("#0%1").arg(row + 1));
        EXPECT_EQ(list.cell(row, filelist::FileList::FileSize).toString(), QStringLiteral("CD Track"));
        EXPECT_EQ(list.at(row).Duration, QLatin1String(durations[row]));
        EXPECT_EQ(list.at(row).state, filelist::RowState::Waiting);
    }
    EXPECT_TRUE(desktop.boxes.isEmpty());

    // The same sheet again adds nothing: its tracks are listed already. One
    // track by its own path is listed already too, "#2" being "#02".
    EXPECT_EQ(add(sheet), 0);
    EXPECT_EQ(add(sheet + QStringLiteral("#02")), 0);
    EXPECT_EQ(add(sheet + QStringLiteral("#2")), 0);
    EXPECT_EQ(list.count(), 3);
    EXPECT_TRUE(desktop.boxes.isEmpty());
    // A number the sheet does not have says so.
    EXPECT_EQ(add(sheet + QStringLiteral("#9")), 0);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes[0].text.endsWith(QStringLiteral("\"%1\" has no track 9.").arg(sheet)))
        << qPrintable(desktop.boxes[0].text);
}

TEST_F(DiscAdmissionTest, ATrackCutFromAnAudioFileShowsItsShareOfTheFile)
{
    ASSERT_EQ(testsupport::runProgram(QStringLiteral("ffmpeg"),
                                      {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
                                       QStringLiteral("s16le"), QStringLiteral("-ar"), QStringLiteral("44100"),
                                       QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"),
                                       path(QStringLiteral("disc.bin")), path(QStringLiteral("rip.wav"))}),
              0);
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("rip.cue")),
                                       image.sheet(QStringLiteral("rip.wav"), QStringLiteral("WAVE"))));
    ASSERT_EQ(add(path(QStringLiteral("rip.cue"))), 1);
    ASSERT_EQ(list.count(), 3);
    // Track 2 holds 150 of the file's 301 sectors.
    const double size = double(QFileInfo(path(QStringLiteral("rip.wav"))).size());
    EXPECT_EQ(list.at(1).FileSize, filelist::FormatFileSize(qint64(size * 150 / 301 + 0.5)));
    EXPECT_EQ(list.at(0).FileSize, filelist::FormatFileSize(qint64(size * 75 / 301 + 0.5)));
    EXPECT_EQ(list.at(1).Duration, QStringLiteral("00:02"));
}

TEST_F(DiscAdmissionTest, ASheetThatCannotBeListedShowsWhyAndAddsNothing)
{
    struct Case {
        QByteArray sheet;
        const char* says;
    };
    const Case cases[] = {
        {"FILE \"gone.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "names a file that is missing: gone.bin"},
        {"FILE \"disc.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:02:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n",
         "times or numbers of track 2"},
        {"FILE \"disc.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:09:00\n", "Track 1 of the CUE sheet"},
        {"FILE \"disc.bin\" BINARY\nINDEX 01 00:00:00\n", "is not valid at line 2"},
    };
    for (const Case& c : cases) {
        desktop.boxes.clear();
        ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("bad.cue")), c.sheet));
        EXPECT_EQ(add(path(QStringLiteral("bad.cue"))), 0) << c.says;
        ASSERT_EQ(desktop.boxes.size(), 1) << c.says;
        EXPECT_TRUE(desktop.boxes[0].text.startsWith(QStringLiteral("An error occured while Adding File\n")));
        EXPECT_TRUE(desktop.boxes[0].text.contains(QLatin1String(c.says))) << qPrintable(desktop.boxes[0].text);
        EXPECT_EQ(list.count(), 0);
    }
}

TEST(AudioCdMenu, ListsTheDrivesWithAnAudioDiscAndAddsTheOneChosen)
{
    ScriptedDesktop desktop;
    std::unique_ptr<filelist::FileList> list;
    filelist::FileAdmission admission(desktop, [&] { return list.get(); });
    filelist::FileListPanel panel(desktop, admission, list);
    ASSERT_TRUE(panel.InitGrid());

    panel.setDriveFinder([] { return std::vector<disc::AudioDiscDrive>{}; });
    panel.fillAudioCdMenu();
    ASSERT_EQ(panel.mnuAudioCd->actions().size(), 1);
    EXPECT_EQ(panel.mnuAudioCd->actions()[0]->text(), QStringLiteral("No audio CD in any drive"));
    EXPECT_FALSE(panel.mnuAudioCd->actions()[0]->isEnabled());
    EXPECT_EQ(panel.mnuAudioCd->title(), QStringLiteral("Add Audio CD..."));

    panel.setDriveFinder([] {
        return std::vector<disc::AudioDiscDrive>{{QStringLiteral("/dev/sr0"), 12, QStringLiteral("Album")},
                                                 {QStringLiteral("/dev/sr1"), 3, QString()}};
    });
    panel.fillAudioCdMenu();
    ASSERT_EQ(panel.mnuAudioCd->actions().size(), 2);
    EXPECT_EQ(panel.mnuAudioCd->actions()[0]->text(), QStringLiteral("/dev/sr0 - Album (12 tracks)"));
    EXPECT_EQ(panel.mnuAudioCd->actions()[1]->text(), QStringLiteral("/dev/sr1 (3 tracks)"));
    // Chosen, the drive is added like a file: this machine has no such drive.
    panel.mnuAudioCd->actions()[1]->trigger();
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Some files are not supported or already exist and will not be added\n\n"
                             "sr1: could not be added"));

    // The arrow follows "Add Audio File...", which a batch disables.
    panel.cmdAddFile->setEnabled(false);
    EXPECT_FALSE(panel.cmdAddFileMenu->isEnabled());
    panel.cmdAddFile->setEnabled(true);
    EXPECT_TRUE(panel.cmdAddFileMenu->isEnabled());
}

} // namespace
