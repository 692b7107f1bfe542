#pragma once

#include "controls/FramePanel.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace controls {
class SliderWidget;
}

namespace options {

class FormatOptions;
class WmaNoticeView;

//! The WMA option page (`frFormat` item 1): quality slider and the tag boxes,
//! with the download notice (`frFormat` item 4) lying over it.
class WmaOptionsView : public controls::FramePanel {
    Q_OBJECT
public:
    WmaOptionsView(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    controls::SliderWidget* sliderWMA = nullptr;
    QLabel* lblWMAQuality = nullptr;
    QCheckBox* chkWMAFileTags = nullptr;
    std::array<QLineEdit*, 8> txtWMATags{};
    WmaNoticeView* frWmaNotice = nullptr;

private:
    QLabel* lblQuality = nullptr;
    QLabel* lblQualityLow = nullptr;
    QLabel* lblQualityHigh = nullptr;
    std::array<QLabel*, 8> m_tagLabels{}; // by tag box index
};

} // namespace options
