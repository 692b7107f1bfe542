#pragma once

#include "controls/FramePanel.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace controls {
class SliderWidget;
}

namespace options {

class FormatOptions;

//! The MP3 option page (`frFormat` item 2): channel mode, sampling rate,
//! encoder quality and the three encoding modes with their settings.
class Mp3OptionsView : public controls::FramePanel {
    Q_OBJECT
public:
    Mp3OptionsView(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    QComboBox* cmbMP3StereoMode = nullptr;
    QComboBox* cmbMP3Freq = nullptr;
    controls::SliderWidget* SliderMP3EncoderQuality = nullptr;
    QLabel* lblMP3EncodSlider = nullptr;
    QRadioButton* optMP3CBR = nullptr;
    QRadioButton* optMP3VBR = nullptr;
    QRadioButton* optMP3ABR = nullptr;
    QComboBox* cmbMP3CBitrate = nullptr;
    controls::SliderWidget* SliderMP3VBR = nullptr;
    QLabel* lblMP3VBREncodSlider = nullptr;
    QComboBox* cmbMP3ABitrate = nullptr;

private:
    QLabel* lblVbrLessQuality = nullptr;
    QLabel* lblVbrHighQuality = nullptr;
    QLabel* lblChannelMode = nullptr;
    QLabel* lblSamplingRate = nullptr;
    QLabel* lblEncoderQuality = nullptr;
    QLabel* lblQualityHigh = nullptr;
    QLabel* lblQualityLow = nullptr;
    QLabel* lblEncodingMode = nullptr;
    FormatOptions* m_options = nullptr;
};

} // namespace options
