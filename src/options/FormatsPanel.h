#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QRadioButton;
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
//! window beside the main panel, and lies over the main panel while open.
class FormatsPanel : public QWidget {
    Q_OBJECT
public:
    //! Top edge of the open panel in the window: 2715 twips.
    static constexpr int kOpenTop = 2715 / 15;

    FormatsPanel(FormatOptions& options, QWidget* parent = nullptr);

    //! The main panel this panel lies over: "Change..." opens the panel over
    //! it and disables it, "Save && Close" closes the panel and enables it.
    void setMainPanel(QWidget* mainPanel);

    //! Opens the panel over the main panel and disables the main panel;
    //! nothing happens while it is open already.
    void cmdChangeFormat_Click();
    //! Closes the panel, enables the main panel, then refreshes the format
    //! summary. Nothing is saved here.
    void cmdHide_Click();

    //! Sets the localized texts of the panel and its pages.
    void applyCaptions();

    //! Page `Index` of the stack (a format index), or the WMA download notice
    //! (FormatOptions::kWmaNoticePage).
    QWidget* frFormat(int Index) const;

    std::array<QRadioButton*, 7> optFileFormat{};
    QStackedWidget* pages = nullptr;
    WmaOptionsView* wmaPage = nullptr;
    Mp3OptionsView* mp3Page = nullptr;
    OggOptionsView* oggPage = nullptr;
    FlacOptionsView* flacPage = nullptr;
    OpusOptionsView* opusPage = nullptr;
    AacOptionsView* aacPage = nullptr;
    QPushButton* cmdDefaults = nullptr;
    QPushButton* cmdHide = nullptr;

private:
    FormatOptions& m_options;
    QPointer<QWidget> m_mainPanel;
    QLabel* m_header = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label22 = nullptr;
};

} // namespace options
