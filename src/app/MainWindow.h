#pragma once

#include "convert/ConversionState.h"

#include <QWidget>

#include <memory>

class ConversionBatch;
class ConvertPanel;
class Desktop;
class DragPanel;
class FileAdmission;
class FileList;
class FileListPanel;
class QLabel;
class QPushButton;
class Settings;

namespace player {
class PlayerPanel;
} // namespace player

namespace options {
class FormatOptions;
class FormatsPanel;
class OutputFolderWidget;
} // namespace options

//! The main window: frameless, its client area filled by the panel `frMain`.
//! It owns the state of the program (the current file list, the option
//! controls, the conversion state) and wires the subsystems together.
class frmMain : public QWidget {
    Q_OBJECT
public:
    //! Size of `frMain` and the window, in twips (15 to a pixel).
    static constexpr int kMainHeightTwips = 8655;
    static constexpr int kMainWidthTwips = 11100;

    explicit frmMain(Desktop& desktop, QWidget* parent = nullptr);
    ~frmMain() override;

    //! The start-up sequence. False when the engine could not start: the
    //! process must then end at once, without showing or saving anything.
    bool Form_Load();

    //! Called when the conversion batch has unwound; completes a close that
    //! was requested while it ran.
    void BatchFinished();

    //! The current file list (replaced by removal; never keep it across one).
    FileList* currentList() const { return m_fileList.get(); }
    options::FormatOptions& formatOptions() { return *m_options; }
    ConversionBatch& batch() { return *m_batch; }
    FileAdmission& admission() { return *m_admission; }

    bool bLoading = false;
    ConversionState conversion;

    DragPanel* frMain = nullptr;
    QLabel* Label38 = nullptr;
    QPushButton* cmdMinimize = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* MyFrame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    FileListPanel* filesPanel = nullptr;
    player::PlayerPanel* playerPanel = nullptr;
    options::OutputFolderWidget* folderWidget = nullptr;
    ConvertPanel* convertPanel = nullptr;
    options::FormatsPanel* frFormats = nullptr;

    void cmdClose_Click();
    void cmdMinimize_Click();

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

private:
    void buildInterface();
    void wireSubsystems();
    void SetCaptions();
    void placePanels();
    void enableControl(const QString& name, bool enabled);
    void Form_QueryUnload();

    Desktop& m_desktop;
    std::unique_ptr<FileList> m_fileList;
    std::unique_ptr<FileAdmission> m_admission;
    std::unique_ptr<options::FormatOptions> m_options;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<ConversionBatch> m_batch;
    bool m_engineStarted = false;
    bool m_closeAfterBatch = false;
};
