#pragma once

#include "controls/FramePanel.h"

class QLabel;

namespace options {

class FormatOptions;
class SliderRowWidget;

//! The FLAC option page (`frFormat` item 4): the compression level.
class FlacOptionsView : public controls::FramePanel {
    Q_OBJECT
public:
    FlacOptionsView(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    SliderRowWidget* level = nullptr;

private:
    QLabel* m_note = nullptr;
};

} // namespace options
