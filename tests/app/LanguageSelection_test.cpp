#include "app/AboutPanel.h"
#include "app/MainWindow.h"
#include "controls/FramePanel.h"
#include "convert/ConversionBatch.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "lang/LanguageBoxWidget.h"
#include "lang/StringLookup.h"
#include "lang/StringTable.h"
#include "support/Fixtures.h"
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

using testsupport::ScriptedDesktop;

// A window whose start-up runs the interface set-up for real and scripts the
// engine, settings and WMA steps, which these tests are not about.
class LanguageWindow : public app::MainWindow {
public:
    using app::MainWindow::MainWindow;

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
    void writeLanguage(const QString& name, const QString& prefix)
    {
        ASSERT_TRUE(QDir(m_home.path()).mkpath(QStringLiteral("Lang")));
        QByteArray content = "[Tonemill]\n";
        for (const lang::StringEntry& entry : lang::kStringTable)
            content += (lang::idText(entry.id) + QLatin1Char('=') + prefix + lang::idText(entry.id) + u'\n').toUtf8();
        writeFile(name + QStringLiteral(".ini"), content);
        QImage flag(16, 11, QImage::Format_RGB32);
        flag.fill(Qt::red);
        ASSERT_TRUE(flag.save(langPath(name + QStringLiteral(".bmp")), "BMP"));
    }
    void writeFile(const QString& name, const QByteArray& content)
    {
        ASSERT_TRUE(testsupport::writeFile(langPath(name), content));
    }
    QString remembered() const
    {
        return QSettings(configFile(), QSettings::IniFormat).value(QStringLiteral("Language/Name")).toString();
    }
    void remember(const QString& file)
    {
        QSettings(configFile(), QSettings::IniFormat).setValue(QStringLiteral("Language/Name"), file);
    }
    static void choose(app::MainWindow& window, const QString& entry)
    {
        const int index = window.ComboLang->findLanguage(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        window.ComboLang->setCurrentIndex(index);
        Q_EMIT window.ComboLang->activated(index); // as a pick with the mouse
    }
    //! The language of the selected entry, by its file's name.
    static QString current(const app::MainWindow& window)
    {
        return window.ComboLang->displayName(window.ComboLang->currentIndex());
    }
    static QStringList entries(const app::MainWindow& window)
    {
        QStringList texts;
        for (int i = 0; i < window.ComboLang->count(); ++i)
            texts << window.ComboLang->displayName(i);
        return texts;
    }

    ScriptedDesktop desktop;
    QTemporaryDir m_home;
};

TEST_F(LanguageSelectionTest, FirstStartSelectsEnglishAndTheChoiceSurvivesARestart)
{
    writeLanguage(QStringLiteral("German"), QStringLiteral("G"));
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    {
        LanguageWindow window(desktop);
        ASSERT_TRUE(window.Form_Load());
        EXPECT_TRUE(window.bLanguagesFound);
        EXPECT_EQ(entries(window), (QStringList{"English", "German"}));
        EXPECT_EQ(window.ComboLang->ImageList1().size(), 2);
        EXPECT_FALSE(window.ComboLang->itemIcon(1).isNull());
        EXPECT_EQ(current(window), "English");
        EXPECT_EQ(remembered(), "English.ini");
        EXPECT_EQ(window.filesPanel->chkSelectAll->text(), "E10001");

        choose(window, QStringLiteral("German"));
        EXPECT_EQ(window.filesPanel->cmdRemove->text(), "G10020");
        EXPECT_EQ(remembered(), "German.ini");
    }
    lang::sLanguageFile.clear();
    LanguageWindow restarted(desktop);
    ASSERT_TRUE(restarted.Form_Load());
    EXPECT_EQ(current(restarted), "German");
    EXPECT_EQ(restarted.filesPanel->cmdRemove->text(), "G10020");
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(LanguageSelectionTest, ARememberedFileThatIsGoneOrNamedInAnotherCaseGivesTheFirstLanguage)
{
    writeLanguage(QStringLiteral("French"), QStringLiteral("F"));
    writeLanguage(QStringLiteral("German"), QStringLiteral("G"));
    for (const QString& name : {QStringLiteral("Klingon.ini"), QStringLiteral("german.ini")}) {
        remember(name);
        LanguageWindow window(desktop);
        ASSERT_TRUE(window.Form_Load());
        EXPECT_EQ(current(window), "French") << name.toStdString();
        EXPECT_EQ(lang::sLanguageFile, "French.ini");
        EXPECT_EQ(remembered(), "French.ini");
        EXPECT_EQ(window.filesPanel->cmdAddFile->text(), "F10004");
    }
}

TEST_F(LanguageSelectionTest, NoLanguageFileOrAFlagThatCannotBeLoadedLeavesTheBoxEmpty)
{
    remember(QStringLiteral("German.ini"));
    LanguageWindow empty(desktop);
    ASSERT_TRUE(empty.Form_Load());
    EXPECT_FALSE(empty.bLanguagesFound);
    EXPECT_EQ(empty.ComboLang->count(), 0);
    EXPECT_EQ(lang::sLanguageFile, "German.ini"); // kept: nothing to switch to
    EXPECT_EQ(empty.filesPanel->chkSelectAll->text(), "Select/Unselect All");
    EXPECT_TRUE(desktop.boxes.isEmpty());

    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeFile(QStringLiteral("Broken.bmp"), "not a picture");
    LanguageWindow broken(desktop);
    ASSERT_TRUE(broken.Form_Load());
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes[0].text.contains(QStringLiteral("Broken.bmp"))) << desktop.boxes[0].text.toStdString();
    EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::Ok);
    EXPECT_EQ(broken.ComboLang->count(), 0) << "the pictures are listed before the languages";
}

// How a control of the caption table shows its text.
enum class Shown { Caption, Header, Tooltip, GridHeader };

struct CaptionRow {
    const char* control; // objectName; for grid headers, the column
    Shown shown;
    int id;
};

constexpr Shown C = Shown::Caption, H = Shown::Header, T = Shown::Tooltip, G = Shown::GridHeader;

// The caption table, row by row.
// clang-format off
const CaptionRow kCaptionTable[] = {
    {"MyFrame1", H, 10000}, {"chkSelectAll", C, 10001}, {"chkShutdown", C, 10002}, {"chkWMAFileTags", C, 10003},
    {"cmdAddFile", C, 10004}, {"cmdAddFolder", C, 10005}, {"cmdAddVideoFile", C, 10006}, {"cmdBrowse", C, 10007},
    {"cmdChangeFormat", C, 10008}, {"cmdCloseHelp", C, 10009}, {"cmdConvert", C, 10010},
    {"cmdConvertSelected", C, 10011}, {"cmdDefaults", C, 10012}, {"cmdDownloadWMF", C, 10013}, {"cmdHide", C, 10014},
    {"cmdOpenWMSite", C, 10015}, {"cmdPause", C, 10016}, {"cmdPlay", C, 10017}, {"cmdPlayNext", C, 10018},
    {"cmdPlayPrev", C, 10019}, {"cmdRemove", C, 10020}, {"cmdStop", C, 10021}, {"frAbout", H, 10022},
    {"frFormats", H, 10023}, {"frMain", H, 100024}, {"Label1", C, 10024}, {"Label10", C, 10025},
    {"Label11", C, 10026}, {"Label12", C, 10027}, {"Label13", C, 10028}, {"Label14", C, 10029},
    {"Label15", C, 10030}, {"Label16", C, 10031}, {"Label17", C, 10032}, {"Label18", C, 10033},
    {"Label19", C, 10034}, {"Label20", C, 10035}, {"Label21", C, 10036}, {"Label22", C, 10037},
    {"Label23", C, 10038}, {"Label24", C, 10039}, {"Label25", C, 10040}, {"Label26", C, 10041},
    {"Label27", C, 10035}, {"Label28", C, 10042}, {"Label29", C, 10043}, {"Label30", C, 10044},
    {"Label31", C, 10045}, {"Label32", C, 10036}, {"Label33", C, 10042}, {"SliderMP3VBR", T, 10046},
    {"Label35", C, 10047}, {"Label36", C, 10048}, {"Label38", C, 100024}, {"Label39", C, 10049},
    {"Label4", C, 10050}, {"Label5", C, 10051}, {"Label6", C, 10052}, {"Label8", C, 10053},
    {"Label9", C, 10054}, {"optOtherFolder", C, 10056}, {"optSameFolder", C, 10057},
    {"2", G, 20009}, {"3", G, 20010}, {"4", G, 20011}, {"5", G, 20012},
    {"cmdAbout", T, 10060}, {"cmdMinimize", T, 10061}, {"cmdClose", T, 10062}, {"MyButton1", T, 10063},
};
// clang-format on

// Controls of the table that other parts of the window bring: the player's
// buttons and the about panel with its icon buttons.
const QStringList kNotYetInTheWindow = {"cmdPause", "cmdPlay", "cmdPlayNext", "cmdPlayPrev", "cmdStop",
                                        "frAbout",  "Label39", "cmdAbout",    "MyButton1",   "cmdCloseHelp"};

// The text the control shows for the row; nothing when it is not there.
std::optional<QString> shownText(app::MainWindow& window, const CaptionRow& row)
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
        if (auto* panel = qobject_cast<controls::FramePanel*>(control))
            return panel->text();
    return QStringLiteral("<no text shown>");
}

TEST_F(LanguageSelectionTest, SwitchingTheLanguageRecaptionsEveryControlOfTheTable)
{
    writeLanguage(QStringLiteral("Alpha"), QStringLiteral("A"));
    writeLanguage(QStringLiteral("Beta"), QStringLiteral("B"));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    ASSERT_EQ(current(window), "Alpha");

    for (const QString& language : {QStringLiteral("Beta"), QStringLiteral("Alpha")}) {
        choose(window, language);
        const QString prefix = language.left(1);
        for (const CaptionRow& row : kCaptionTable) {
            const std::optional<QString> text = shownText(window, row);
            if (!text) {
                EXPECT_TRUE(kNotYetInTheWindow.contains(QString::fromLatin1(row.control))) << row.control;
                continue;
            }
            EXPECT_EQ(*text, prefix + QString::number(row.id)) << row.control;
        }
        EXPECT_EQ(window.filesPanel->Grid->model()->headerData(1, Qt::Horizontal).toString(), " ");
    }
}

TEST_F(LanguageSelectionTest, RowsAreWordedInTheLanguageShownAndKeepTheirStates)
{
    writeLanguage(QStringLiteral("English"), QStringLiteral("E"));
    writeLanguage(QStringLiteral("GERMAN"), QStringLiteral("G"));
    // Named as an old system saved it: the real name is the one opened.
    ASSERT_TRUE(QFile::rename(langPath(QStringLiteral("GERMAN.ini")), langPath(QStringLiteral("GERMAN.INI"))));
    LanguageWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    filelist::FileList& list = *window.currentList();
    using filelist::RowState;
    const auto addRow = [&list](const char* path, RowState state, const QString& size, bool cdTrack = false) {
        filelist::FileListRow row;
        row.path = QString::fromLatin1(path);
        row.state = state;
        row.progress = 45.5f;
        row.Duration = state == RowState::NotSupported ? QString() : QStringLiteral("0:03");
        row.FileSize = size;
        row.cdTrack = cdTrack;
        list.append(row);
    };
    addRow("/a.flac", RowState::Waiting, QStringLiteral("1.2 MB"));
    addRow("/b.flac", RowState::Complete, QStringLiteral("1.0 MB"));
    addRow("/c.flac", RowState::Converting, QStringLiteral("2.0 MB"));
    addRow("/d.cda", RowState::Cancelled, QString(), true);
    addRow("/e.xyz", RowState::NotSupported, QStringLiteral("E20007")); // a size that only looks like a status

    choose(window, QStringLiteral("GERMAN"));
    const auto cell = [&list](int row, int column) { return list.cell(row, column).toString(); };
    using filelist::FileList;
    EXPECT_EQ(cell(0, FileList::Status), "G20007");
    EXPECT_EQ(cell(1, FileList::Status), "G20014");
    EXPECT_EQ(cell(2, FileList::Status), "45.5");
    EXPECT_EQ(cell(3, FileList::Status), "G20008");
    EXPECT_EQ(cell(3, FileList::FileSize), "G20016");
    EXPECT_EQ(cell(4, FileList::Status), "G20015");
    EXPECT_EQ(cell(4, FileList::Duration), ""); // an unopenable file has no length
    EXPECT_EQ(cell(4, FileList::FileSize), "E20007");
    EXPECT_EQ(list.at(0).state, RowState::Waiting);
    EXPECT_EQ(list.at(3).state, RowState::Cancelled);
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
    EXPECT_EQ(app::AboutPanel::versionText(QStringLiteral("1.0.4")), "1.0.0.4");
    EXPECT_EQ(app::AboutPanel::versionText(QStringLiteral("0.1.0")), "0.1.0.0");
    EXPECT_EQ(app::AboutPanel::versionText(QStringLiteral("2")), "2.0.0.0");
}

} // namespace
