#pragma once

#include "controls/FramePanel.h"

class QLabel;

namespace options {

class FormatOptions;
class SliderRowWidget;

//! The AAC option page (`frFormat` item 6): the bitrate.
class AacOptionsView : public controls::FramePanel {
    Q_OBJECT
public:
    AacOptionsView(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    SliderRowWidget* bitrate = nullptr;

private:
    QLabel* m_note = nullptr;
};

} // namespace options
