#include "app/MainWindow.h"

#include "platform/Desktop.h"
#include "app/DragPanel.h"
#include "platform/NamedMutex.h"
#include "settings/Settings.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "engine/AudioEngine.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/WmaSupport.h"
#include "lang/LanguageChoice.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "options/OutputFolderWidget.h"
#include "player/PlayerPanel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kTwipsPerPixel = 15;

QString text(lang::StringId id)
{
    return lang::caption(id);
}

QLabel* makeLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // A press on a label is a press on the panel below it.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

frmMain::frmMain(Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_desktop(desktop)
    , m_options(std::make_unique<options::FormatOptions>())
{
    m_admission = std::make_unique<FileAdmission>(desktop, [this] { return m_fileList.get(); });
    m_settings = std::make_unique<Settings>(*m_options, CRegister(), [this] { bLoading = false; });
    m_batch = std::make_unique<ConversionBatch>(desktop, conversion, *m_options, [this] { return m_fileList.get(); });
    buildInterface();
    wireSubsystems();
}

frmMain::~frmMain() = default;

void frmMain::buildInterface()
{
    const QSize size(kMainWidthTwips / kTwipsPerPixel, kMainHeightTwips / kTwipsPerPixel);
    setFixedSize(size);

    frMain = new DragPanel(this);
    frMain->setObjectName(QStringLiteral("frMain"));
    frMain->setGeometry(QRect(QPoint(0, 0), size));
    connect(frMain, &DragPanel::pressed, this, [this] { m_desktop.dragWindow(); });

    Label38 = makeLabel("Label38", frMain);
    Label38->setGeometry(8, 4, size.width() - 80, 20);
    QFont titleFont = Label38->font();
    titleFont.setBold(true);
    Label38->setFont(titleFont);

    cmdMinimize = new QPushButton(QStringLiteral("_"), frMain);
    cmdMinimize->setObjectName(QStringLiteral("cmdMinimize"));
    cmdMinimize->setGeometry(size.width() - 56, 4, 24, 20);
    cmdMinimize->setFlat(true);
    connect(cmdMinimize, &QPushButton::clicked, this, &frmMain::cmdMinimize_Click);

    cmdClose = new QPushButton(QStringLiteral("X"), frMain);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(size.width() - 28, 4, 24, 20);
    cmdClose->setFlat(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmMain::cmdClose_Click);

    MyFrame1 = makeLabel("MyFrame1", frMain);
    MyFrame1->setGeometry(8, 28, size.width() - 16, 20);

    // The three steps: a number beside its text, each above its controls.
    Label2 = makeLabel("Label2", frMain);
    Label2->setText(QStringLiteral("1"));
    Label2->setGeometry(8, 52, 16, 20);
    Label1 = makeLabel("Label1", frMain);
    Label1->setGeometry(24, 52, size.width() - 40, 20);

    filesPanel = new FileListPanel(m_desktop, *m_admission, m_fileList, frMain);
    filesPanel->setGeometry(8, 72, size.width() - 16, 270);

    // The player's buttons under the grid, playing its rows. The batch
    // disables them by name (enableControl) and leaves playback running.
    playerPanel = new player::PlayerPanel(m_desktop, filesPanel->Grid, frMain);
    playerPanel->setGeometry(8, 346, size.width() - 16, 26);
    player::Player& rowPlayer = playerPanel->player();
    filesPanel->setPlayerFile([&rowPlayer] { return rowPlayer.sPlayerFile(); });
    connect(filesPanel, &FileListPanel::playRequested, playerPanel, &player::PlayerPanel::playFromGrid);
    connect(filesPanel, &FileListPanel::stopPlayerRequested, &rowPlayer, &player::Player::cmdStop_Click);

    Label3 = makeLabel("Label3", frMain);
    Label3->setText(QStringLiteral("2"));
    Label3->setGeometry(8, 378, 16, 20);
    Label4 = makeLabel("Label4", frMain);
    Label4->setGeometry(24, 378, size.width() - 40, 20);

    folderWidget = new options::OutputFolderWidget(*m_options, frMain);
    folderWidget->setGeometry(8, 398, size.width() - 16, 80);

    Label7 = makeLabel("Label7", frMain);
    Label7->setText(QStringLiteral("3"));
    Label7->setGeometry(8, 484, 16, 20);
    Label6 = makeLabel("Label6", frMain);
    Label6->setGeometry(24, 484, size.width() - 40, 20);

    convertPanel = new ConvertPanel(*m_batch, frMain);
    convertPanel->setGeometry(8, 506, size.width() - 16, 60);

    // The options panel is a child of the window beside the main panel, parked
    // below the visible area while closed.
    frFormats = new options::FormatsPanel(*m_options, this);
    frFormats->setMainPanel(frMain);
}

void frmMain::wireSubsystems()
{
    m_options->setFolderPicker(
        [this](const QString& title, bool newStyle) { return m_desktop.BrowseForFolder(title, newStyle); });
    m_batch->setControlEnabler([this](const QString& name, bool enabled) { enableControl(name, enabled); });
    m_batch->setBatchFinished([this] { BatchFinished(); });
}

void frmMain::enableControl(const QString& name, bool enabled)
{
    // The grid's and the player's buttons, on the main panel.
    if (QWidget* control = frMain->findChild<QWidget*>(name))
        control->setEnabled(enabled);
}

bool frmMain::Form_Load()
{
    CreateNamedMutex(QStringLiteral("Korvanetonemill"));
    bLoading = true;
    InitInterface();
    if (!StartAudioEngine())
        return false;
    LoadSettings();
    bLoading = false;
    if (!CheckWMASupport())
        ShowWMANotice();
    return true;
}

void frmMain::InitInterface()
{
    // The remembered language (stored back when nothing was remembered).
    lang::sLanguageFile = lang::rememberedLanguageFile();
    lang::rememberLanguageFile(lang::sLanguageFile);
    filesPanel->InitGrid();
    SetCaptions();
    placePanels();
}

void frmMain::SetCaptions()
{
    const QString title = text(lang::StringId::ProductName);
    setWindowTitle(title);
    Label38->setText(title);
    MyFrame1->setText(text(lang::StringId::StepsTitle));
    Label1->setText(text(lang::StringId::StepAddFiles));
    Label4->setText(text(lang::StringId::StepOutput));
    Label6->setText(text(lang::StringId::StepConvert));
    cmdMinimize->setToolTip(text(lang::StringId::MinimizeTip));
    cmdClose->setToolTip(text(lang::StringId::CloseTip));
    filesPanel->SetCaptions();
    playerPanel->applyCaptions();
    folderWidget->applyCaptions();
    convertPanel->applyCaptions();
    frFormats->applyCaptions();
}

void frmMain::placePanels()
{
    frMain->move(0, 0);
    setFixedSize(frMain->size());
    frFormats->move((frMain->width() - frFormats->width()) / 2, frMain->height());
}

bool frmMain::StartAudioEngine()
{
    m_engineStarted = InitAudioEngine(m_desktop);
    return m_engineStarted;
}

void frmMain::LoadSettings()
{
    m_settings->LoadSettings();
}

bool frmMain::CheckWMASupport()
{
    return ::CheckWMASupport();
}

void frmMain::ShowWMANotice()
{
    m_options->setWmaNoticeVisible(true);
}

void frmMain::SaveSettings()
{
    m_settings->SaveSettings();
}

void frmMain::FreeAudioEngine()
{
    if (m_engineStarted)
        BASS_Free();
    m_engineStarted = false;
}

void frmMain::cmdClose_Click()
{
    if (conversion.bConverting) {
        m_desktop.messageBox(text(lang::StringId::StopConversionFirst), text(lang::StringId::ProductName),
                             Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        return;
    }
    close();
}

void frmMain::cmdMinimize_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (conversion.bConverting) {
        // A close from outside the window (window manager, task bar, session
        // end) while a batch runs: stop the batch and close once it has
        // unwound, so the engine is never freed under a running conversion.
        conversion.bCancelConversion = true;
        m_closeAfterBatch = true;
        event->ignore();
        return;
    }
    Form_QueryUnload();
    event->accept();
}

void frmMain::BatchFinished()
{
    if (m_closeAfterBatch) {
        m_closeAfterBatch = false;
        close();
    }
}

void frmMain::Form_QueryUnload()
{
    SaveSettings();
    FreeAudioEngine();
}
