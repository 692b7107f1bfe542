#include "app/MainWindow.h"

#include "app/AboutPanel.h"
#include "app/DragPanel.h"
#include "app/QtPanelSlide.h"
#include "app/QtProgramIcon.h"
#include "app/QtTheme.h"
#include "controls/FramePanel.h"
#include "controls/LineWidget.h"
#include "controls/NamedWidget.h"
#include "controls/QtTabOrder.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "convert/OutputNameExample.h"
#include "convert/OutputNamePattern.h"
#include "convert/OutputPath.h"
#include "engine/AudioEngine.h"
#include "filelist/AddFilesActions.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "lang/LanguageBoxWidget.h"
#include "lang/LanguageChoice.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "options/OutputFolderWidget.h"
#include "options/WmaNoticeView.h"
#include "options/WmaOptionsView.h"
#include "platform/Desktop.h"
#include "platform/NamedMutex.h"
#include "platform/ProgramFolder.h"
#include "platform/UserSettings.h"
#include "player/PlayerPanel.h"
#include "remedy/DownloadDialog.h"
#include "remedy/WmaRemedies.h"
#include "remedy/WmaSupport.h"
#include "settings/Settings.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTranslator>
#include <QWindow>

namespace app {

namespace {

constexpr int kTwipsPerPixel = 15;
// Pixels between the About button and the window's own buttons, with the
// divider in their middle.
constexpr int kTitleDividerGap = 10;
// Where the window's place and size are kept, in the user's settings.
constexpr const char* kGeometryKey = "Window/Geometry";

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

MainWindow::MainWindow(platform::Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_desktop(desktop),
      m_options(std::make_unique<options::FormatOptions>()),
      m_nameExample(std::make_unique<convert::OutputNameExample>())
{
    setObjectName(QStringLiteral("frmMain"));
    m_admission = std::make_unique<filelist::FileAdmission>(desktop, [this] { return m_fileList.get(); });
    m_settings = std::make_unique<settings::Settings>(*m_options, settings::CRegister(), [this] { bLoading = false; });
    m_settings->setDesktop(&desktop);
    m_batch = std::make_unique<convert::ConversionBatch>(desktop, conversion, *m_options,
                                                         [this] { return m_fileList.get(); });
    m_wmaRemedies = std::make_unique<remedy::WmaRemedies>(
        desktop,
        [this](const remedy::DownloadTexts& texts, remedy::TransferJob& job) {
            remedy::DownloadDialog::run(texts, job, this);
        },
        remedy::WmaComponentSources::load(settings::CRegister()));
    buildInterface();
    wireSubsystems();
}

MainWindow::~MainWindow()
{
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator.get());
}

QSize MainWindow::designSize()
{
    return {kMainWidthTwips / kTwipsPerPixel, kMainHeightTwips / kTwipsPerPixel};
}

void MainWindow::buildInterface()
{
    // The design size is the least the window takes; the grid takes whatever
    // more the user gives it.
    setMinimumSize(designSize());
    resize(designSize());
    setWindowIcon(programIcon());

    frMain = new DragPanel(this);
    frMain->setObjectName(QStringLiteral("frMain"));
    frMain->setGeometry(rect());
    frMain->setHeaderShown(true);
    connect(frMain, &DragPanel::dragStarted, this, [this] { m_desktop.dragWindow(); });
    connect(frMain, &DragPanel::dragReleased, this, [this] { m_desktop.endWindowDrag(); });
    connect(frMain, &DragPanel::edgePressed, this, [this](Qt::Edges edges) {
        if (!isMaximized() && windowHandle())
            windowHandle()->startSystemResize(edges);
    });
    connect(frMain, &DragPanel::doubleClicked, this, &MainWindow::cmdMaximize_Click);
    buildTitleStrip();

    // The header panel: its own design colours, which the theme leaves alone.
    MyFrame1 = new controls::FramePanel(frMain);
    MyFrame1->setObjectName(QStringLiteral("MyFrame1"));
    MyFrame1->setAttribute(Qt::WA_TransparentForMouseEvents);
    MyFrame1->setHeaderShown(true);
    MyFrame1->setBodyColorTopLeft(QColor(255, 244, 232));
    MyFrame1->setBodyColorBottomLeft(QColor(255, 236, 220));
    MyFrame1->setBodyColorBottomRight(QColor(255, 224, 200));
    MyFrame1->setBorderColor(QColor(192, 64, 0));
    MyFrame1->setHeaderColorTopLeft(QColor(232, 120, 64));
    MyFrame1->setHeaderColorBottomLeft(QColor(160, 48, 0));

    // The three steps: a number beside its text, each above its controls.
    QFont numberFont = font();
    numberFont.setBold(true);
    numberFont.setPointSizeF(numberFont.pointSizeF() * 1.3);
    const auto stepNumber = [&](const char* name, const char* digit) {
        QLabel* label = makeLabel(name, frMain);
        label->setText(QString::fromLatin1(digit));
        label->setFont(numberFont);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    lblStepOneNumber = stepNumber("Label2", "1");
    lblStepAddFiles = makeLabel("Label1", frMain);
    filesPanel = new filelist::FileListPanel(m_desktop, *m_admission, m_fileList, frMain);
    filesPanel->actions().setSubFolderChoice(&m_options->chkSubFolders);
    // The player's buttons under the grid, playing its rows. The batch
    // disables them by name (enableControl) and stops playback as it starts.
    playerPanel = new player::PlayerPanel(m_desktop, filesPanel->Grid, frMain);
    player::Player& rowPlayer = playerPanel->player();
    filesPanel->setPlayerFile([&rowPlayer] { return rowPlayer.sPlayerFile(); });
    connect(filesPanel, &filelist::FileListPanel::playRequested, playerPanel, &player::PlayerPanel::playFromGrid);
    connect(filesPanel, &filelist::FileListPanel::stopPlayerRequested, &rowPlayer, &player::Player::cmdStop_Click);
    m_batch->setStopPlayback([&rowPlayer] { rowPlayer.cmdStop_Click(); });
    m_batch->setHighlightedRows([this] { return filesPanel->Grid->selectedRows(); });
    // The rows being converted stay in view as the batch moves down the list.
    connect(m_batch.get(), &convert::ConversionBatch::rowStarted, this, [this](int row) {
        if (QAbstractItemModel* model = filesPanel->Grid->model(); model && row < model->rowCount())
            filesPanel->Grid->scrollTo(model->index(row, 0));
    });
    lblStepTwoNumber = stepNumber("Label3", "2");
    lblStepOutput = makeLabel("Label4", frMain);
    folderWidget = new options::OutputFolderWidget(*m_options, frMain);
    lblStepThreeNumber = stepNumber("Label7", "3");
    lblStepConvert = makeLabel("Label6", frMain);
    convertPanel = new convert::ConvertPanel(*m_batch, frMain);
    for (int i = 0; i < int(Line.size()); ++i) {
        Line[std::size_t(i)] = new controls::LineWidget(frMain);
        Line[std::size_t(i)]->setObjectName(QStringLiteral("Line%1").arg(i + 1));
    }
    placeTitleStrip();
    placeSteps();

    // The sliding panels are children of the window beside the main panel,
    // parked below the visible area while closed.
    frFormats = new options::FormatsPanel(*m_options, this);
    frAbout = new AboutPanel(webSite(), this);
    panelSlide = new QtPanelSlide(this, frMain);
    connect(frFormats, &options::FormatsPanel::openRequested, this, &MainWindow::cmdChangeFormat_Click);
    connect(frFormats, &options::FormatsPanel::closeRequested, this,
            [this] { panelSlide->StartPanelMove(PanelSlide::Direction::Down); });
    connect(frAbout->cmdCloseHelp, &QPushButton::clicked, this, &MainWindow::cmdCloseHelp_Click);
    connect(frAbout, &AboutPanel::webSiteClicked, this, &MainWindow::lblWebSite_Click);
}

void MainWindow::buildTitleStrip()
{
    lblTitle = makeLabel("Label38", frMain);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    QPalette titleColours = lblTitle->palette();
    titleColours.setColor(QPalette::WindowText, Qt::white);
    lblTitle->setPalette(titleColours);

    const auto titleButton = [&](const char* name) {
        auto* button = new QPushButton(frMain);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::TabFocus);
        return button;
    };
    MyButton1 = titleButton("MyButton1");
    MyButton1->setText(QStringLiteral("?"));
    connect(MyButton1, &QPushButton::clicked, this, &MainWindow::MyButton1_Click);
    cmdAbout = titleButton("cmdAbout");
    cmdAbout->setIcon(programIcon());
    connect(cmdAbout, &QPushButton::clicked, this, &MainWindow::cmdAbout_Click);
    cmdMinimize = titleButton("cmdMinimize");
    cmdMinimize->setText(QStringLiteral("_"));
    connect(cmdMinimize, &QPushButton::clicked, this, &MainWindow::cmdMinimize_Click);
    cmdMaximize = titleButton("cmdMaximize");
    connect(cmdMaximize, &QPushButton::clicked, this, &MainWindow::cmdMaximize_Click);
    cmdClose = titleButton("cmdClose");
    cmdClose->setText(QStringLiteral("X"));
    connect(cmdClose, &QPushButton::clicked, this, &MainWindow::cmdClose_Click);

    // The language box sits on the window itself, above the title panel, so
    // it stays usable while a sliding panel is up and the main panel disabled.
    ComboLang = new lang::LanguageBoxWidget(m_desktop, this);
    connect(ComboLang, &QComboBox::activated, this, [this] { ComboLang_Click(); });
    showMaximizeState();
}

void MainWindow::placeTitleStrip()
{
    const int width = frMain->width();
    const int strip = frMain->headerHeight();
    const int side = strip - 6;
    lblTitle->setGeometry(10, 0, width / 2, strip);
    // From the right: the window's own buttons, a gap with the divider, then
    // About and Help, then the language box.
    int x = width - 4;
    for (QPushButton* button : {cmdClose, cmdMaximize, cmdMinimize}) {
        x -= side;
        button->setGeometry(x, 3, side, side);
        x -= 4;
    }
    x -= kTitleDividerGap;
    for (QPushButton* button : {cmdAbout, MyButton1}) {
        x -= side;
        button->setGeometry(x, 3, side, side);
        x -= 4;
    }
    ComboLang->setGeometry(MyButton1->x() - 8 - ComboLang->width(), 3, ComboLang->width(), side);
}

void MainWindow::placeSteps()
{
    // Rows from the top: title strip, header panel, then each step's heading
    // over its controls, with a rail of two lines down its left side and a
    // rule of two lines under its heading and between the steps.
    const int width = frMain->width();
    const int left = 34;
    const int right = width - 8;
    const int headingHeight = fontMetrics().height() + 8;
    int y = frMain->headerHeight() + 6;
    MyFrame1->setGeometry(8, y, width - 16, MyFrame1->headerHeight());
    y += MyFrame1->height() + 6;

    const int folderHeight = folderWidget->sizeHint().height();
    const int convertHeight = convertPanel->sizeHint().height();
    const int stepOverhead = headingHeight + 4 + 8;
    const int filesHeight = frMain->height() - y - 3 * stepOverhead - folderHeight - convertHeight - 6;

    struct Step {
        QLabel* number;
        QLabel* heading;
        QWidget* controls;
        int height;
    };
    const Step steps[] = {{lblStepOneNumber, lblStepAddFiles, filesPanel, filesHeight},
                          {lblStepTwoNumber, lblStepOutput, folderWidget, folderHeight},
                          {lblStepThreeNumber, lblStepConvert, convertPanel, convertHeight}};
    int line = 0;
    const auto place = [&](int x, int top, int w, int h) { Line[std::size_t(line++)]->setGeometry(x, top, w, h); };
    for (const Step& step : steps) {
        step.number->setGeometry(8, y, left - 12, headingHeight);
        step.heading->setGeometry(left, y, right - left, headingHeight);
        place(left, y + headingHeight, right - left, 1);
        place(left, y + headingHeight + 1, right - left, 1);
        const int top = y + headingHeight + 4;
        step.controls->setGeometry(left, top, right - left, step.height);
        place(18, y + headingHeight, 1, step.height + 4);
        place(19, y + headingHeight, 1, step.height + 4);
        y = top + step.height + 8;
        // A rule under the step, across the window.
        place(8, y - 5, right - 8, 1);
        place(8, y - 4, right - 8, 1);
    }
    // The player's row sits at the foot of step 1, under the grid's buttons.
    const int playerHeight = playerPanel->sizeHint().height();
    const QRect files = filesPanel->geometry();
    filesPanel->setGeometry(files.adjusted(0, 0, 0, -(playerHeight + 4)));
    playerPanel->setGeometry(files.left(), files.bottom() + 1 - playerHeight, files.width(), playerHeight);
    // A rule down between the help and about buttons and the window buttons,
    // in the middle of the gap between them.
    const int divider = (cmdAbout->geometry().right() + cmdMinimize->x()) / 2;
    place(divider, 4, 1, frMain->headerHeight() - 8);
    place(divider + 1, 4, 1, frMain->headerHeight() - 8);
}

void MainWindow::wireSubsystems()
{
    m_options->setFolderPicker([this](const QString& title, bool newStyle) {
        return m_desktop.BrowseForFolder(title, newStyle,
                                         QString::fromLatin1(options::FormatOptions::kOutputFolderDialog));
    });
    m_batch->setControlEnabler([this](const QString& name, bool enabled) { enableControl(name, enabled); });
    m_batch->setBatchFinished([this] { BatchFinished(); });
    m_batch->setSaveSettings([this] { SaveSettings(); });
    connect(convertPanel, &convert::ConvertPanel::openOutputFolderRequested, this,
            [this](const QString& folder) { m_desktop.shellOpen(folder); });

    // The WMA notice page and the admission prompt offer the same remedies.
    m_admission->setWmaRemedies([this] { m_wmaRemedies->cmdDownloadWMF(); },
                                [this] { m_wmaRemedies->cmdOpenWMSite(); });
    // "Save && Close" keeps the panel up while the name pattern cannot be
    // used, listing what is wrong with it; under the pattern, the name the
    // first row would get.
    frFormats->setCloseCheck([this] { return convert::CheckOutputNaming(m_desktop, *m_options); });
    frFormats->setNameExample([this](const QString& pattern) {
        const QString name = m_nameExample->name(
            pattern, m_fileList.get(), convert::ConversionBatch::outputExtension(m_options->selectedFormat()));
        if (name.isEmpty())
            return convert::OutputNamePattern(pattern).problemText();
        return text(lang::StringId::NamePatternExample).arg(name);
    });

    // Escape closes the panel that is up, as its own closing button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escapeShortcut"));
    connect(escape, &QShortcut::activated, this, &MainWindow::closeOpenPanel);

    const options::WmaNoticeView* notice = frFormats->wmaPage->frWmaNotice;
    connect(notice->cmdDownloadWMF, &QPushButton::clicked, this, [this] { m_wmaRemedies->cmdDownloadWMF(); });
    connect(notice->cmdOpenWMSite, &QPushButton::clicked, this, [this] { m_wmaRemedies->cmdOpenWMSite(); });
}

void MainWindow::enableControl(const QString& name, bool enabled)
{
    // The grid's and the player's buttons, on the main panel.
    if (QWidget* control = frMain->findChild<QWidget*>(name))
        control->setEnabled(enabled);
}

bool MainWindow::Form_Load()
{
    platform::CreateNamedMutex(QStringLiteral("Korvanetonemill"));
    bLoading = true;
    InitInterface();
    if (!StartAudioEngine())
        return false;
    LoadSettings();
    bLoading = false;
    if (!CheckWMASupport())
        ShowWMANotice();
    // The keyboard starts in the list.
    filesPanel->Grid->setFocus();
    return true;
}

void MainWindow::InitInterface()
{
    bLanguagesFound = false;
    lang::sLanguageFile = lang::storedLanguageFile();
    if (lang::sLanguageFile.isEmpty()) {
        lang::sLanguageFile = lang::defaultLanguageFile();
        lang::rememberLanguageFile(lang::sLanguageFile);
    }
    LoadLanguageList();
    if (bLanguagesFound) {
        SelectCurrentLanguage();
        ComboLang_Click();
    }
    ComboLang->update();
    ApplyTheme(this);
    filesPanel->InitGrid();
    SetCaptions();
    placePanels();
    orderTabStops();
}

void MainWindow::LoadLanguageList()
{
    bLanguagesFound = ComboLang->LoadLanguageList(platform::programFolder() + QStringLiteral("/Lang/"));
    ComboLang->adjustSize();
    placeTitleStrip();
    ComboLang->raise();
}

void MainWindow::SelectCurrentLanguage()
{
    ComboLang->SelectCurrentLanguage();
}

void MainWindow::ComboLang_Click()
{
    const QString file = ComboLang->selectedLanguageFile();
    if (file != lang::sLanguageFile) {
        lang::sLanguageFile = file;
        // The rows' words follow the language; their states stay as they are.
        if (m_fileList)
            m_fileList->refreshWords();
        SetCaptions();
    }
    applyQtTranslation();
    // Only a right-to-left language would lay the window out mirrored; none
    // switches it on, every other language switches it off.
    if (lang::sLanguageFile != QStringLiteral("Arabic.ini"))
        setLayoutDirection(Qt::LeftToRight);
    lang::rememberLanguageFile(file);
}

void MainWindow::applyQtTranslation()
{
    // Qt's own texts (the file dialogs, the standard buttons of a message
    // box) in the language chosen: its file names Qt's translation.
    const QString code = text(lang::StringId::QtTranslation).trimmed();
    if (code == m_qtTranslationCode)
        return;
    m_qtTranslationCode = code;
    if (m_qtTranslator) {
        QCoreApplication::removeTranslator(m_qtTranslator.get());
        m_qtTranslator.reset();
    }
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        m_qtTranslator = std::move(translator);
}

void MainWindow::SetCaptions()
{
    // The caption table: the window's own controls here, each view's
    // controls through that view's applyCaptions().
    MyFrame1->setText(text(lang::StringId::StepsTitle));
    filesPanel->applyCaptions();   // chkSelectAll, cmdAddFile, cmdAddFolder, cmdAddVideoFile, cmdRemove, Label9, Grid
    convertPanel->applyCaptions(); // chkShutdown, cmdConvert, cmdConvertSelected
    folderWidget->applyCaptions(); // cmdBrowse, cmdChangeFormat, Label5, Label8, optOtherFolder, optSameFolder
    frFormats->applyCaptions();    // frFormats, its pages, cmdDefaults, cmdHide, cmdDownloadWMF, cmdOpenWMSite
    m_options->applyLanguage();    // the bitrates' unit, the format summary
    applyPlayerCaptions();
    applyAboutCaptions();
    const QString title = text(lang::StringId::ProductName);
    setWindowTitle(title); // the title of frMain, which the task bar shows
    lblTitle->setText(title);
    ComboLang->setAccessibleName(text(lang::StringId::LanguageBoxName));
    lblStepAddFiles->setText(text(lang::StringId::StepAddFiles));
    lblStepOutput->setText(text(lang::StringId::StepOutput));
    lblStepConvert->setText(text(lang::StringId::StepConvert));
    controls::setTipAndName(cmdMinimize, text(lang::StringId::MinimizeTip));
    controls::setTipAndName(cmdClose, text(lang::StringId::CloseTip));
    showMaximizeState();
}

void MainWindow::applyAboutCaptions()
{
    controls::setTipAndName(cmdAbout, text(lang::StringId::AboutTip));
    controls::setTipAndName(MyButton1, text(lang::StringId::HelpTip));
    frAbout->applyCaptions();
}

void MainWindow::applyPlayerCaptions()
{
    playerPanel->applyCaptions();
}

void MainWindow::placePanels()
{
    frMain->setGeometry(rect());
    // Both panels keep their design size and are centred by the about
    // panel's width; down the window they slide to where the design puts
    // them in a window of the design size, moved down by half of what the
    // window has more.
    const int left = (frMain->width() - frAbout->width()) / 2;
    const int below = (height() - designSize().height()) / 2;
    panelSlide->setArea(height(), below);
    for (QWidget* panel : {static_cast<QWidget*>(frFormats), static_cast<QWidget*>(frAbout)}) {
        const bool out = panel == panelSlide->objMovePanel && !panelSlide->state().isParked();
        panel->move(left, out ? panel->y() : height());
    }
    panelSlide->refresh();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!frMain)
        return;
    frMain->setGeometry(rect());
    placeTitleStrip();
    placeSteps();
    placePanels();
    orderTabStops();
}

void MainWindow::orderTabStops()
{
    // The main panel's controls in reading order, the language box first:
    // it sits at the left of the title strip, above the panel itself. The
    // sliding panels order their own.
    for (QWidget* step : frMain->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (QLayout* layout = step->layout())
            layout->activate(); // the controls' places, also before the window shows
    const QList<QWidget*> order = controls::setReadingTabOrder(frMain);
    if (!order.isEmpty())
        QWidget::setTabOrder(ComboLang, order.front());
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && cmdMaximize)
        showMaximizeState();
}

void MainWindow::showMaximizeState()
{
    // A square for "make it large", two for "make it as it was".
    cmdMaximize->setText(isMaximized() ? QStringLiteral("\u2750") : QStringLiteral("\u25A1"));
    controls::setTipAndName(cmdMaximize,
                            text(isMaximized() ? lang::StringId::RestoreTip : lang::StringId::MaximizeTip));
}

void MainWindow::cmdMaximize_Click()
{
    setWindowState(windowState() ^ Qt::WindowMaximized);
}

void MainWindow::restoreWindowPlace()
{
    const QByteArray geometry = platform::userValue(QString::fromLatin1(kGeometryKey)).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

void MainWindow::saveWindowPlace()
{
    platform::setUserValue(QString::fromLatin1(kGeometryKey), saveGeometry());
}

bool MainWindow::StartAudioEngine()
{
    m_engineStarted = engine::InitAudioEngine(m_desktop);
    return m_engineStarted;
}

void MainWindow::LoadSettings()
{
    m_settings->LoadSettings();
}

bool MainWindow::CheckWMASupport()
{
    return remedy::CheckWMASupport();
}

void MainWindow::ShowWMANotice()
{
    m_options->setWmaNoticeVisible(true);
}

void MainWindow::SaveSettings()
{
    // Settings tells the user itself when another process holds the store and
    // logs any other failure; nothing here could do better.
    static_cast<void>(m_settings->SaveSettings());
}

void MainWindow::FreeAudioEngine()
{
    if (m_engineStarted)
        BASS_Free();
    m_engineStarted = false;
}

void MainWindow::cmdClose_Click()
{
    if (conversion.bConverting) {
        m_desktop.messageBox(text(lang::StringId::StopConversionFirst), text(lang::StringId::ProductName),
                             platform::Desktop::Icon::Exclamation, platform::Desktop::Buttons::Ok);
        return;
    }
    close();
}

void MainWindow::cmdMinimize_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void MainWindow::addFiles(const QStringList& paths)
{
    filesPanel->actions().DropFiles(paths);
}

void MainWindow::cmdChangeFormat_Click()
{
    frFormats->showNameExample(); // the list may have changed
    panelSlide->open(frFormats);
}

void MainWindow::cmdAbout_Click()
{
    panelSlide->open(frAbout);
}

void MainWindow::cmdCloseHelp_Click()
{
    panelSlide->StartPanelMove(PanelSlide::Direction::Down);
}

void MainWindow::closeOpenPanel()
{
    const PanelSlide& slide = panelSlide->state();
    if (slide.isParked() || slide.direction() == PanelSlide::Direction::Down)
        return;
    if (panelSlide->objMovePanel == frFormats)
        frFormats->cmdHide_Click();
    else if (panelSlide->objMovePanel == frAbout)
        cmdCloseHelp_Click();
}

void MainWindow::MyButton1_Click()
{
    // A missing manual or viewer passes silently.
    m_desktop.shellOpen(platform::programFolder() + QStringLiteral("/Help.html"));
}

QString MainWindow::webSite()
{
    // Without an address of its own, the link opens the project's README.
    const QString address = QStringLiteral(TONEMILL_ABOUT_LINK);
    return address.isEmpty() ? platform::programFolder() + QStringLiteral("/README.md") : address;
}

void MainWindow::lblWebSite_Click()
{
    m_desktop.shellOpen(webSite());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (conversion.bConverting) {
        event->ignore();
        // An ending session has stopped the batch already: close once it has
        // unwound, so the engine is never freed under a running conversion.
        if (m_sessionEnding) {
            m_closeAfterBatch = true;
            return;
        }
        // A close from the window manager (Alt+F4, the task bar) while a
        // batch runs is refused as the window's own close button refuses it;
        // the batch goes on while the box is open.
        cmdClose_Click();
        return;
    }
    Form_QueryUnload();
    event->accept();
}

void MainWindow::endSession(bool closeWindow)
{
    m_sessionEnding = true;
    if (conversion.bConverting) {
        conversion.bCancelConversion = true;
        // The rows see the stop within a chunk and keep what they made.
        constexpr int kWaitMs = 10000;
        QElapsedTimer waiting;
        waiting.start();
        while (m_batch->rowsRunning() && !waiting.hasExpired(kWaitMs))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    }
    SaveSettings();
    if (closeWindow)
        close();
}

void MainWindow::BatchFinished()
{
    if (m_closeAfterBatch) {
        m_closeAfterBatch = false;
        close();
    }
}

void MainWindow::Form_QueryUnload()
{
    saveWindowPlace();
    SaveSettings();
    FreeAudioEngine();
}

} // namespace app
