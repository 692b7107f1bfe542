#pragma once

#include "lang/StringLookup.h"

#include <QWidget>

class QLabel;

namespace controls {
class SliderWidget;
}

namespace options {

class LabelState;
class SliderState;

//! A slider setting of an option page: a caption, and under it the slider
//! between the texts of its two ends, and the label showing its value.
class SliderRowWidget : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        lang::StringId caption;
        lang::StringId low;
        lang::StringId high;
    };

    //! The slider and value label take the names of `slider` and `value`,
    //! and are bound to them.
    SliderRowWidget(SliderState& slider, LabelState& value, Texts texts, QWidget* parent = nullptr);

    //! Sets the localized texts of the row.
    void applyCaptions();

    controls::SliderWidget* slider = nullptr;
    QLabel* value = nullptr;

private:
    Texts m_texts;
    QLabel* m_caption = nullptr;
    QLabel* m_low = nullptr;
    QLabel* m_high = nullptr;
};

} // namespace options
