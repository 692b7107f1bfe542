#pragma once

#include "convert/ConversionState.h"

#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTranslator;

namespace controls {
class FramePanel;
class LineWidget;
} // namespace controls
namespace convert {
class ConversionBatch;
class ConvertPanel;
class OutputNameExample;
} // namespace convert
namespace remedy {
class WmaRemedies;
} // namespace remedy
namespace filelist {
class FileAdmission;
class FileList;
class FileListPanel;
} // namespace filelist
namespace lang {
class LanguageBoxWidget;
}
namespace options {
class FormatOptions;
class FormatsPanel;
class OutputFolderWidget;
} // namespace options
namespace platform {
class Desktop;
}
namespace player {
class PlayerPanel;
}
namespace settings {
class Settings;
}

namespace app {

class AboutPanel;
class DragPanel;
class QtPanelSlide;

//! The main window (objectName "frmMain"): frameless, its client area filled by the panel `frMain`.
//! It owns the state of the program (the current file list, the option
//! controls, the conversion state) and wires the subsystems together.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    //! Size of `frMain` and the window, in twips (15 to a pixel).
    static constexpr int kMainHeightTwips = 8655;
    static constexpr int kMainWidthTwips = 11100;
    //! The design size in pixels: the least the window takes.
    static QSize designSize();

    explicit MainWindow(platform::Desktop& desktop, QWidget* parent = nullptr);
    ~MainWindow() override;

    //! The start-up sequence. False when the engine could not start: the
    //! process must then end at once, without showing or saving anything.
    bool Form_Load();

    //! Called when the conversion batch has unwound; completes a close that
    //! was requested while it ran.
    void BatchFinished();

    //! The session ends (logout) or the program was asked to end (SIGTERM):
    //! stops a running batch and waits (a few seconds at most) for its rows to
    //! end, so that what they made is kept under stopped-at names, then saves
    //! the options. With `close`, the window closes once the batch has unwound.
    void endSession(bool close);

    //! The current file list (replaced by removal; never keep it across one).
    filelist::FileList* currentList() const { return m_fileList.get(); }
    options::FormatOptions& formatOptions() { return *m_options; }
    convert::ConversionBatch& batch() { return *m_batch; }
    filelist::FileAdmission& admission() { return *m_admission; }
    remedy::WmaRemedies& wmaRemedies() { return *m_wmaRemedies; }

    bool bLoading = false;
    //! Set when the language folder held at least one language file.
    bool bLanguagesFound = false;
    convert::ConversionState conversion;

    DragPanel* frMain = nullptr;
    QLabel* lblTitle = nullptr;
    QPushButton* cmdMinimize = nullptr;
    QPushButton* cmdMaximize = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* MyButton1 = nullptr;
    QPushButton* cmdAbout = nullptr;
    controls::FramePanel* MyFrame1 = nullptr;
    QLabel* lblStepAddFiles = nullptr;
    QLabel* lblStepOneNumber = nullptr;
    QLabel* lblStepTwoNumber = nullptr;
    QLabel* lblStepOutput = nullptr;
    QLabel* lblStepConvert = nullptr;
    QLabel* lblStepThreeNumber = nullptr;
    filelist::FileListPanel* filesPanel = nullptr;
    player::PlayerPanel* playerPanel = nullptr;
    options::OutputFolderWidget* folderWidget = nullptr;
    convert::ConvertPanel* convertPanel = nullptr;
    options::FormatsPanel* frFormats = nullptr;
    AboutPanel* frAbout = nullptr;
    //! The separator lines Line1 to Line20, at indexes 0 to 19.
    std::array<controls::LineWidget*, 20> Line{};
    //! The slide of the options and about panels, with tmrAnimate.
    QtPanelSlide* panelSlide = nullptr;

    //! Admits `paths` (absolute) to the list as a drop on the grid does.
    void addFiles(const QStringList& paths);
    lang::LanguageBoxWidget* ComboLang = nullptr;

    void cmdClose_Click();
    //! Applies the language box's selected entry: makes it the current
    //! language file (captions and row texts follow) and remembers it.
    void ComboLang_Click();

    void cmdMinimize_Click();
    //! Maximises the window, or gives it back the size it had.
    void cmdMaximize_Click();

    //! Gives the window the place, size and maximised state it had when the
    //! user last closed it (kept per user); nothing the first time.
    void restoreWindowPlace();
    //! Keeps the window's place, size and maximised state for the next start.
    void saveWindowPlace();
    void cmdChangeFormat_Click();
    void cmdAbout_Click();
    void cmdCloseHelp_Click();
    //! Escape: closes the options or about panel when one is up or going
    //! up, through its own closing button.
    void closeOpenPanel();
    //! Help: the user manual beside the program, in the desktop's viewer.
    void MyButton1_Click();
    //! The web site the build names (TONEMILL_ABOUT_LINK), else the README
    //! beside the program, in the desktop's browser or viewer.
    void lblWebSite_Click();
    static QString webSite();

protected:
    // The start-up steps, in the order Form_Load calls them.
    virtual void InitInterface();
    virtual bool StartAudioEngine();
    virtual void LoadSettings();
    virtual bool CheckWMASupport();
    virtual void ShowWMANotice();

    // Query-unload: settings first, then the engine.
    virtual void SaveSettings();
    virtual void FreeAudioEngine();

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildInterface();
    void wireSubsystems();
    void LoadLanguageList();
    void SelectCurrentLanguage();
    void SetCaptions();
    void applyPlayerCaptions();
    void applyAboutCaptions();
    void applyQtTranslation();
    void placePanels();
    void buildTitleStrip();
    void placeTitleStrip();
    void showMaximizeState();
    void placeSteps();
    //! Sets the Tab key's way through the main panel: reading order.
    void orderTabStops();
    void enableControl(const QString& name, bool enabled);
    void Form_QueryUnload();

    platform::Desktop& m_desktop;
    std::unique_ptr<filelist::FileList> m_fileList;
    std::unique_ptr<filelist::FileAdmission> m_admission;
    std::unique_ptr<options::FormatOptions> m_options;
    std::unique_ptr<convert::OutputNameExample> m_nameExample;
    std::unique_ptr<settings::Settings> m_settings;
    std::unique_ptr<convert::ConversionBatch> m_batch;
    std::unique_ptr<remedy::WmaRemedies> m_wmaRemedies;
    std::unique_ptr<QTranslator> m_qtTranslator;
    QString m_qtTranslationCode;
    bool m_engineStarted = false;
    bool m_closeAfterBatch = false;
    bool m_sessionEnding = false;
};

} // namespace app
