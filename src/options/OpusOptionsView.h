#pragma once

#include "controls/FramePanel.h"

class QLabel;
class QRadioButton;

namespace options {

class FormatOptions;
class SliderRowWidget;

//! The Opus option page (`frFormat` item 5): the bitrate and whether the
//! encoder is tuned for music or for speech.
class OpusOptionsView : public controls::FramePanel {
    Q_OBJECT
public:
    OpusOptionsView(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    SliderRowWidget* bitrate = nullptr;
    QRadioButton* optOpusAudio = nullptr;
    QRadioButton* optOpusVoIP = nullptr;

private:
    QLabel* m_tunedFor = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace options
