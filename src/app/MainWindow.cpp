#include "app/MainWindow.h"

#include "app/Desktop.h"
#include "app/DragPanel.h"
#include "app/NamedMutex.h"
#include "engine/AudioEngine.h"
#include "lang/StringLookup.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kTwipsPerPixel = 15;

QString text(lang::StringId id)
{
    return lang::caption(id);
}

} // namespace

frmMain::frmMain(Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_desktop(desktop)
{
    buildInterface();
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

    Label38 = new QLabel(frMain);
    Label38->setObjectName(QStringLiteral("Label38"));
    Label38->setGeometry(8, 4, size.width() - 80, 20);
    // A press on the title text is a press on the title panel.
    Label38->setAttribute(Qt::WA_TransparentForMouseEvents);

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
    const QString title = text(lang::StringId::ProductName);
    setWindowTitle(title);
    Label38->setText(title);
    cmdMinimize->setToolTip(text(lang::StringId::MinimizeTip));
    cmdClose->setToolTip(text(lang::StringId::CloseTip));
}

bool frmMain::StartAudioEngine()
{
    m_engineStarted = InitAudioEngine(m_desktop);
    return m_engineStarted;
}

void frmMain::LoadSettings() {}

bool frmMain::CheckWMASupport()
{
    return true;
}

void frmMain::ShowWMANotice() {}

void frmMain::SaveSettings() {}

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
