#include "options/SliderRowWidget.h"

#include "controls/SliderWidget.h"
#include "options/LabelState.h"
#include "options/ListItemWords.h"
#include "options/QtOptionBinding.h"
#include "options/SliderState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace options {

SliderRowWidget::SliderRowWidget(SliderState& sliderState, LabelState& valueState, Texts texts, QWidget* parent)
    : QWidget(parent), m_texts(texts)
{
    m_caption = new QLabel(this);
    m_low = new QLabel(this);
    m_high = new QLabel(this);
    slider = new controls::SliderWidget(this);
    slider->setObjectName(sliderState.name());
    slider->setMinimumWidth(120); // gives way to long end texts
    value = new QLabel(this);
    value->setObjectName(valueState.name());

    // The caption has a row of its own, and the slider with its two end texts
    // and its value gets the page's whole width under it, as the MP3 page's
    // variable-bitrate slider does: in one row, the longer translations
    // would not fit.
    auto* row = new QHBoxLayout;
    row->setContentsMargins(24, 0, 0, 0);
    row->addWidget(m_low);
    row->addWidget(slider, 1);
    row->addWidget(m_high);
    row->addWidget(value);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(m_caption);
    rows->addLayout(row);

    m_caption->setBuddy(slider); // the slider's name for a screen reader
    bind(sliderState, slider);
    bind(valueState, value);
    applyCaptions();
}

void SliderRowWidget::applyCaptions()
{
    m_caption->setText(lang::caption(m_texts.caption));
    m_low->setText(lang::caption(m_texts.low));
    m_high->setText(lang::caption(m_texts.high));
    // Room for the widest value ("256 Kbps" in the language shown) so the
    // row does not shift.
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(bitrateWords(256)));
}

} // namespace options
