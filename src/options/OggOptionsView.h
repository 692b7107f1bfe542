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

//! The OGG option page (`frFormat` item 3): constant or variable bitrate with
//! their lists, and the quality slider shared by both modes.
class OggOptionsView : public controls::FramePanel {
    Q_OBJECT
public:
    OggOptionsView(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    QRadioButton* optOGGCBR = nullptr;
    QRadioButton* optOGGVBR = nullptr;
    QComboBox* cmbOGGCBitrate = nullptr;
    QComboBox* cmbOGGVBitrate = nullptr;
    controls::SliderWidget* sliderOGG = nullptr;
    QLabel* lblSliderOGG = nullptr;

private:
    QLabel* lblQualityLow = nullptr;
    QLabel* lblQualityHigh = nullptr;
    QLabel* lblQuality = nullptr;
    FormatOptions* m_options = nullptr;
};

} // namespace options
