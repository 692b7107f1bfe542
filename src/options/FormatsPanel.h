#pragma once

#include "controls/FramePanel.h"

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace options {

class AacOptionsView;
class FlacOptionsView;
class FormatOptions;
class Mp3OptionsView;
class OpusOptionsView;
class OggOptionsView;
class WmaNoticeView;
class WmaOptionsView;

//! The options panel `frFormats` ("Output Audio Formats"): the format
//! options in one row, the stack of option pages with the chosen one in front, and the
//! buttons "Restore Defaults" and "Save && Close". It is a child of the main
//! window beside the main panel; the window slides it over the main panel
//! when asked to open it and back down when asked to close it.
class FormatsPanel : public controls::FramePanel {
    Q_OBJECT
public:
    FormatsPanel(FormatOptions& options, QWidget* parent = nullptr);

    //! "Change...": asks the window to slide the panel up.
    void cmdChangeFormat_Click();
    //! "Save && Close": asks the window to slide the panel down, then
    //! refreshes the format summary. Nothing is saved here.
    void cmdHide_Click();

    //! Sets the localized texts of the panel and its pages.
    void applyCaptions();

    //! What the line under the name pattern says for a pattern: the name
    //! it would give ("Example: …") or why it cannot be used.
    using NameExample = std::function<QString(const QString& pattern)>;
    void setNameExample(NameExample example);
    //! Shows the line under the name pattern afresh (the list or the
    //! language may have changed).
    void showNameExample();

    //! Asked before "Save && Close" closes the panel; false keeps it open
    //! (after telling the user why).
    void setCloseCheck(std::function<bool()> check) { m_closeCheck = std::move(check); }

    //! Page `Index` of the stack (a format index), or the WMA download notice
    //! (FormatOptions::kWmaNoticePage).
    QWidget* frFormat(int Index) const;

    std::array<QRadioButton*, 7> optFileFormat{};
    QStackedWidget* pages = nullptr;
    WmaOptionsView* wmaPage = nullptr;
    Mp3OptionsView* mp3Page = nullptr;
    OggOptionsView* oggPage = nullptr;
    QCheckBox* chkCopyTags = nullptr;
    QCheckBox* chkSkipConverted = nullptr;
    QCheckBox* chkNamePattern = nullptr;
    QLineEdit* txtNamePattern = nullptr;
    QLabel* lblNameExample = nullptr;
    QLabel* lblSimultaneous = nullptr;
    QSpinBox* spnSimultaneous = nullptr;
    //! The "Loudness" group: its caption, then its controls, on one row.
    QWidget* frLoudness = nullptr;
    QLabel* lblLoudness = nullptr;
    QCheckBox* chkReplayGain = nullptr;
    QCheckBox* chkNormalize = nullptr;
    QSpinBox* spnNormalizeTarget = nullptr;
    //! "Each file" or "Each album": the options optNormalizeTrack and
    //! optNormalizeAlbum as one drop-down list.
    QComboBox* cmbNormalizeMode = nullptr;
    QLabel* lblSimultaneousMax = nullptr;
    FlacOptionsView* flacPage = nullptr;
    OpusOptionsView* opusPage = nullptr;
    AacOptionsView* aacPage = nullptr;
    QPushButton* cmdDefaults = nullptr;
    QPushButton* cmdHide = nullptr;

Q_SIGNALS:
    void openRequested();
    void closeRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    //! Sets the Tab key's way through the panel and its page in front:
    //! reading order.
    void orderTabStops();

    FormatOptions& m_options;
    NameExample m_nameExample;
    std::function<bool()> m_closeCheck;
    QLabel* lblSelectFormat = nullptr;
    QLabel* lblWavNote = nullptr;
};

} // namespace options
