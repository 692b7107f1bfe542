#pragma once

#include "convert/ConversionState.h"

#include <QWidget>

class Desktop;
class DragPanel;
class QLabel;
class QPushButton;

//! The main window: frameless, its client area filled by the panel `frMain`.
//! It owns the state of the program and wires the subsystems together.
class frmMain : public QWidget {
    Q_OBJECT
public:
    //! Height of `frMain` and the window, in twips (15 to a pixel).
    static constexpr int kMainHeightTwips = 8655;
    static constexpr int kMainWidthTwips = 11100;

    explicit frmMain(Desktop& desktop, QWidget* parent = nullptr);
    ~frmMain() override;

    //! The start-up sequence. False when the engine could not start: the
    //! process must then end at once, without showing or saving anything.
    bool Form_Load();

    //! Called by the conversion batch when it has unwound; completes a close
    //! that was requested while it ran.
    void BatchFinished();

    bool bLoading = false;
    ConversionState conversion;

    DragPanel* frMain = nullptr;
    QLabel* Label38 = nullptr;
    QPushButton* cmdMinimize = nullptr;
    QPushButton* cmdClose = nullptr;

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
    void Form_QueryUnload();

    Desktop& m_desktop;
    bool m_engineStarted = false;
    bool m_closeAfterBatch = false;
};
