#include "app/MainWindow.h"
#include "convert/ConversionBatch.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "lang/LanguageBoxWidget.h"
#include "lang/StringLookup.h"
#include "lang/StringTable.h"
#include "support/ScriptedDesktop.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using lang::StringId;
using testsupport::ScriptedDesktop;

// A window whose start-up runs the interface set-up for real and scripts the
// engine, settings and WMA steps, which these tests are not about.
class LanguageWindow : public frmMain {
public:
    using frmMain::frmMain;

protected:
    bool StartAudioEngine() override { return true; }
    void LoadSettings() override {}
    bool CheckWMASupport() override { return true; }
    void SaveSettings() override {}
    void FreeAudioEngine() override {}
};

// The per-user settings folder of this process: the settings library fixes
// it at its first use, so every test shares it and starts with it empty.
class ConfigEnvironment : public ::testing::Environment {
public:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", folder.path().toUtf8()); }
    QTemporaryDir folder;
};
auto* const kConfig = static_cast<ConfigEnvironment*>(::testing::AddGlobalTestEnvironment(new ConfigEnvironment));

// Each test has its own program folder, with the Lang folder it writes.
class LanguageSelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("TONEMILL_HOME", m_home.path().toUtf8());
        QFile::remove(configFile());
    }
    void TearDown() override
    {
        qunsetenv("TONEMILL_HOME");
        lang::sLanguageFile.clear();
    }
    static QString configFile() { return kConfig->folder.filePath(QStringLiteral("Tonemill/Tonemill.conf")); }

    QString langPath(const QString& name) const { return m_home.filePath(QStringLiteral("Lang/") + name); }

    //! A language file giving every identifier the text `prefix` + identifier.
    void writeLanguage(const QString& name, const QString& prefix, bool withFlag = true)
    {
        ASSERT_TRUE(QDir(m_home.path()).mkpath(QStringLiteral("Lang")));
        QByteArray content = "[Tonemill]\n";
        for (const lang::StringEntry& entry : lang::kStringTable)
            content += (lang::idText(entry.id) + QLatin1Char('=') + prefix + lang::idText(entry.id) + u'\n').toUtf8();
        writeFile(name + QStringLiteral(".ini"), content);
        if (withFlag) {
            QImage flag(16, 11, QImage::Format_RGB32);
            flag.fill(Qt::red);
            ASSERT_TRUE(flag.save(langPath(name + QStringLiteral(".bmp")), "BMP"));
        }
    }
    void writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(langPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString remembered() const
    {
        return QSettings(configFile(), QSettings::IniFormat).value(QStringLiteral("Language/Name")).toString();
    }
    void remember(const QString& file)
    {
        QSettings(configFile(), QSettings::IniFormat).setValue(QStringLiteral("Language/Name"), file);
    }
    static void choose(frmMain& window, const QString& entry)
    {
        const int index = window.ComboLang->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        window.ComboLang->setCurrentIndex(index);
        Q_EMIT window.ComboLang->activated(index); // as a pick with the mouse
    }
    static QStringList entries(const frmMain& window)
    {
        QStringList texts;
        for (int i = 0; i < window.ComboLang->count(); ++i)
            texts << window.ComboLang->itemText(i);
        return texts;
    }

    ScriptedDesktop desktop;
    QTemporaryDir m_home;
};

TEST_F(LanguageSelectionTest, FirstStartListsTheLanguagesSelectsEnglishAndRemembersIt)
{
    writeLanguage(QStringLiteral("German"), QStringLiteral("G"));
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());

    EXPECT_TRUE(window.bLanguagesFound);
    EXPECT_EQ(entries(window), (QStringList{"English", "German"}));
    EXPECT_EQ(window.ComboLang->ImageList1().size(), 2);
    EXPECT_FALSE(window.ComboLang->itemIcon(1).isNull());
    EXPECT_EQ(window.ComboLang->currentText(), "English");
    EXPECT_EQ(lang::sLanguageFile, "English.ini");
    EXPECT_EQ(remembered(), "English.ini");
    EXPECT_EQ(window.filesPanel->chkSelectAll->text(), "E10001");
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(LanguageSelectionTest, TheChoiceSurvivesARestart)
{
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeLanguage(QStringLiteral("Polish"), QStringLiteral("P"));
    {
        LanguageWindow window(desktop);
        ASSERT_TRUE(window.Form_Load());
        choose(window, QStringLiteral("Polish"));
        EXPECT_EQ(window.filesPanel->cmdRemove->text(), "P10020");
        EXPECT_EQ(remembered(), "Polish.ini");
    }
    lang::sLanguageFile.clear();
    LanguageWindow restarted(desktop);
    ASSERT_TRUE(restarted.Form_Load());
    EXPECT_EQ(restarted.ComboLang->currentText(), "Polish");
    EXPECT_EQ(restarted.filesPanel->cmdRemove->text(), "P10020");
}

TEST_F(LanguageSelectionTest, ARememberedFileThatIsGoneOrNamedInAnotherCaseGivesTheFirstLanguage)
{
    writeLanguage(QStringLiteral("French"), QStringLiteral("F"));
    writeLanguage(QStringLiteral("German"), QStringLiteral("G"));
    for (const QString& name : {QStringLiteral("Klingon.ini"), QStringLiteral("german.ini")}) {
        remember(name);
        LanguageWindow window(desktop);
        ASSERT_TRUE(window.Form_Load());
        EXPECT_EQ(window.ComboLang->currentText(), "French") << name.toStdString();
        EXPECT_EQ(lang::sLanguageFile, "French.ini");
        EXPECT_EQ(remembered(), "French.ini");
        EXPECT_EQ(window.filesPanel->cmdAddFile->text(), "F10004");
    }
}

TEST_F(LanguageSelectionTest, WithoutLanguageFilesTheBoxIsEmptyAndTextsAreEnglish)
{
    remember(QStringLiteral("German.ini"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    EXPECT_FALSE(window.bLanguagesFound);
    EXPECT_EQ(window.ComboLang->count(), 0);
    EXPECT_EQ(lang::sLanguageFile, "German.ini"); // kept: nothing to switch to
    EXPECT_EQ(window.filesPanel->chkSelectAll->text(), "Select/Unselect All");
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(LanguageSelectionTest, AFlagThatCannotBeLoadedIsReportedAndEndsTheListing)
{
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeFile(QStringLiteral("Broken.bmp"), "not a picture");
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("Broken.bmp"))) << desktop.boxes[0].text.toStdString();
    EXPECT_EQ(desktop.boxes[0].title, "E100024"); // the product name, looked up
    EXPECT_EQ(desktop.boxes[0].buttons, Desktop::Buttons::Ok);
    EXPECT_EQ(window.ComboLang->count(), 0);
    EXPECT_FALSE(window.bLanguagesFound);
}

TEST_F(LanguageSelectionTest, FewerFlagsThanLanguagesLeaveTheLastEntryWithoutOne)
{
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeLanguage(QStringLiteral("French"), QStringLiteral("F"), false);
    writeLanguage(QStringLiteral("German"), QStringLiteral("G"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(entries(window), (QStringList{"English", "French", "German"}));
    EXPECT_FALSE(window.ComboLang->itemIcon(1).isNull()) << "French shows the second flag, German's";
    EXPECT_TRUE(window.ComboLang->itemIcon(2).isNull());
}

// How a control of the caption table shows its text.
enum class Shown { Caption, Header, Tooltip, GridHeader };

struct CaptionRow {
    const char* control; // objectName; for grid headers, the column
    Shown shown;
    StringId id;
};

// The caption table, row by row.
const CaptionRow kCaptionTable[] = {
    {"MyFrame1", Shown::Header, StringId::StepsTitle},
    {"chkSelectAll", Shown::Caption, StringId::SelectAll},
    {"chkShutdown", Shown::Caption, StringId::ShutdownAfterConversion},
    {"chkWMAFileTags", Shown::Caption, StringId::SetWmaTags},
    {"cmdAddFile", Shown::Caption, StringId::AddFile},
    {"cmdAddFolder", Shown::Caption, StringId::AddFolder},
    {"cmdAddVideoFile", Shown::Caption, StringId::AddVideoFile},
    {"cmdBrowse", Shown::Caption, StringId::Browse},
    {"cmdChangeFormat", Shown::Caption, StringId::ChangeFormat},
    {"cmdCloseHelp", Shown::Caption, StringId::CloseHelp},
    {"cmdConvert", Shown::Caption, StringId::ConvertAll},
    {"cmdConvertSelected", Shown::Caption, StringId::ConvertSelected},
    {"cmdDefaults", Shown::Caption, StringId::RestoreDefaults},
    {"cmdDownloadWMF", Shown::Caption, StringId::DownloadWmf},
    {"cmdHide", Shown::Caption, StringId::SaveAndClose},
    {"cmdOpenWMSite", Shown::Caption, StringId::OpenWmSite},
    {"cmdPause", Shown::Caption, StringId::Pause},
    {"cmdPlay", Shown::Caption, StringId::Play},
    {"cmdPlayNext", Shown::Caption, StringId::PlayNext},
    {"cmdPlayPrev", Shown::Caption, StringId::PlayPrevious},
    {"cmdRemove", Shown::Caption, StringId::RemoveSelected},
    {"cmdStop", Shown::Caption, StringId::Stop},
    {"frAbout", Shown::Header, StringId::AboutTitle},
    {"frFormats", Shown::Header, StringId::FormatsTitle},
    {"frMain", Shown::Header, StringId::ProductName},
    {"Label1", Shown::Caption, StringId::StepAddFiles},
    {"Label10", Shown::Caption, StringId::SelectOutputFormat},
    {"Label11", Shown::Caption, StringId::EncodingQuality},
    {"Label12", Shown::Caption, StringId::TagTitle},
    {"Label13", Shown::Caption, StringId::TagAlbumTitle},
    {"Label14", Shown::Caption, StringId::TagRating},
    {"Label15", Shown::Caption, StringId::TagGenre},
    {"Label16", Shown::Caption, StringId::TagArtist},
    {"Label17", Shown::Caption, StringId::TagDescription},
    {"Label18", Shown::Caption, StringId::TagCopyright},
    {"Label19", Shown::Caption, StringId::TagYear},
    {"Label20", Shown::Caption, StringId::Low},
    {"Label21", Shown::Caption, StringId::High},
    {"Label22", Shown::Caption, StringId::WavSameAsInput},
    {"Label23", Shown::Caption, StringId::LessQuality},
    {"Label24", Shown::Caption, StringId::HighQuality},
    {"Label25", Shown::Caption, StringId::ChannelMode},
    {"Label26", Shown::Caption, StringId::SamplingRate},
    {"Label27", Shown::Caption, StringId::Low},
    {"Label28", Shown::Caption, StringId::EncoderQuality},
    {"Label29", Shown::Caption, StringId::HighSlower},
    {"Label30", Shown::Caption, StringId::LowFaster},
    {"Label31", Shown::Caption, StringId::EncodingMode},
    {"Label32", Shown::Caption, StringId::High},
    {"Label33", Shown::Caption, StringId::EncoderQuality},
    {"Label34", Shown::Caption, StringId::VbrValue},
    {"Label35", Shown::Caption, StringId::WmfNotInstalled},
    {"Label36", Shown::Caption, StringId::RestartAfterInstalling},
    {"Label38", Shown::Caption, StringId::ProductName},
    {"Label39", Shown::Caption, StringId::AboutText},
    {"Label4", Shown::Caption, StringId::StepOutput},
    {"Label5", Shown::Caption, StringId::OutputFolder},
    {"Label6", Shown::Caption, StringId::StepConvert},
    {"Label8", Shown::Caption, StringId::OutputFormat},
    {"Label9", Shown::Caption, StringId::QuickAddingHint},
    {"optOtherFolder", Shown::Caption, StringId::OtherFolder},
    {"optSameFolder", Shown::Caption, StringId::SameFolder},
    {"2", Shown::GridHeader, StringId::FilePathHeader},
    {"3", Shown::GridHeader, StringId::StatusHeader},
    {"4", Shown::GridHeader, StringId::TimeLengthHeader},
    {"5", Shown::GridHeader, StringId::FileSizeHeader},
    {"cmdAbout", Shown::Tooltip, StringId::AboutTip},
    {"cmdMinimize", Shown::Tooltip, StringId::MinimizeTip},
    {"cmdClose", Shown::Tooltip, StringId::CloseTip},
    {"MyButton1", Shown::Tooltip, StringId::HelpTip},
};

// Controls of the table that other parts of the window bring: the player's
// buttons, the about panel with its icon buttons, and Label34, which no
// options page shows (the OGG page's option carries that text itself).
const QStringList kNotYetInTheWindow = {"cmdPause", "cmdPlay",  "cmdPlayNext", "cmdPlayPrev",  "cmdStop", "frAbout",
                                        "Label39",  "cmdAbout", "MyButton1",   "cmdCloseHelp", "Label34"};

// The text the control shows for the row; nothing when it is not there.
std::optional<QString> shownText(frmMain& window, const CaptionRow& row)
{
    const QString name = QString::fromLatin1(row.control);
    if (row.shown == Shown::GridHeader)
        return window.filesPanel->Grid->model()->headerData(name.toInt(), Qt::Horizontal).toString();
    if (row.shown == Shown::Header && name == QStringLiteral("frMain"))
        return window.windowTitle();
    QWidget* control = window.findChild<QWidget*>(name);
    if (!control)
        return std::nullopt;
    if (row.shown == Shown::Tooltip)
        return control->toolTip();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (row.shown == Shown::Header)
        if (auto* header = control->findChild<QLabel*>(name + QStringLiteral("Header")))
            return header->text();
    return QStringLiteral("<no text shown>");
}

TEST_F(LanguageSelectionTest, SwitchingTheLanguageRecaptionsEveryControlOfTheTable)
{
    writeLanguage(QStringLiteral("Alpha"), QStringLiteral("A"));
    writeLanguage(QStringLiteral("Beta"), QStringLiteral("B"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    ASSERT_EQ(window.ComboLang->currentText(), "Alpha");

    for (const QString& language : {QStringLiteral("Beta"), QStringLiteral("Alpha")}) {
        choose(window, language);
        const QString prefix = language.left(1);
        for (const CaptionRow& row : kCaptionTable) {
            const std::optional<QString> text = shownText(window, row);
            if (!text) {
                EXPECT_TRUE(kNotYetInTheWindow.contains(QString::fromLatin1(row.control))) << row.control;
                continue;
            }
            EXPECT_EQ(*text, prefix + lang::idText(row.id)) << row.control;
        }
        EXPECT_EQ(window.filesPanel->Grid->model()->headerData(1, Qt::Horizontal).toString(), " ");
    }
}

TEST_F(LanguageSelectionTest, RowsKeepTheirMeaningAcrossASwitchSoWaitingRowsAreStillConverted)
{
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeLanguage(QStringLiteral("German"), QStringLiteral("G"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    FileList& list = *window.currentList();
    const auto addRow = [&list](const char* path, const QString& status, const QString& size) {
        list.append({0, 0, QString::fromLatin1(path), status, QStringLiteral("0:03"), size});
    };
    addRow("/a.flac", QStringLiteral("E20007"), QStringLiteral("1.2 MB")); // waiting
    addRow("/b.flac", QStringLiteral("E20014"), QStringLiteral("1.0 MB")); // complete
    addRow("/c.flac", QStringLiteral("45.5"), QStringLiteral("2.0 MB"));   // converting
    addRow("/d.cda", QStringLiteral("E20008"), QStringLiteral("E20016"));  // cancelled CD track
    addRow("/e.xyz", QStringLiteral("E20015"), QStringLiteral("E20007"));  // a size that only looks like a status

    choose(window, QStringLiteral("German"));
    const auto status = [&list](int row) { return list.cell(row, FileList::Status).toString(); };
    const auto size = [&list](int row) { return list.cell(row, FileList::FileSize).toString(); };
    EXPECT_EQ(status(0), "G20007");
    EXPECT_EQ(status(1), "G20014");
    EXPECT_EQ(status(2), "45.5");
    EXPECT_EQ(status(3), "G20008");
    EXPECT_EQ(size(3), "G20016");
    EXPECT_EQ(status(4), "G20015");
    EXPECT_EQ(size(4), "E20007");
    EXPECT_EQ(list.cell(0, FileList::FilePath).toString(), "/a.flac");

    // The batch's rule: waiting or cancelled in the current language.
    EXPECT_TRUE(ConversionBatch::isEligible(status(0)));
    EXPECT_TRUE(ConversionBatch::isEligible(status(3)));
    EXPECT_FALSE(ConversionBatch::isEligible(status(1)));
}

TEST_F(LanguageSelectionTest, ChoosingTheCurrentLanguageChangesNoCaptionButStoresTheChoice)
{
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeLanguage(QStringLiteral("Arabic"), QStringLiteral("R"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    remember(QStringLiteral("something else"));
    window.filesPanel->cmdRemove->setText(QStringLiteral("changed"));
    choose(window, QStringLiteral("English"));
    EXPECT_EQ(window.filesPanel->cmdRemove->text(), "changed");
    EXPECT_EQ(remembered(), "English.ini");

    // A right-to-left layout is left alone by Arabic and switched off by any other.
    window.setLayoutDirection(Qt::RightToLeft);
    choose(window, QStringLiteral("Arabic"));
    EXPECT_EQ(window.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(window.filesPanel->cmdRemove->text(), "R10020");
    choose(window, QStringLiteral("English"));
    EXPECT_EQ(window.layoutDirection(), Qt::LeftToRight);
}

TEST(MainWindowVersion, MajorMinorZeroRevision)
{
    EXPECT_EQ(frmMain::versionText(QStringLiteral("1.0.4")), "1.0.0.4");
    EXPECT_EQ(frmMain::versionText(QStringLiteral("0.1.0")), "0.1.0.0");
    EXPECT_EQ(frmMain::versionText(QStringLiteral("2")), "2.0.0.0");
}

} // namespace
