#include "options/SliderRowWidget.h"

#include "controls/SliderWidget.h"
#include "options/LabelState.h"
#include "options/QtOptionBinding.h"
#include "options/SliderState.h"

#include <QHBoxLayout>
#include <QLabel>

namespace options {

SliderRowWidget::SliderRowWidget(SliderState& sliderState, LabelState& valueState, Texts texts, QWidget* parent)
    : QWidget(parent), m_texts(texts)
{
    m_caption = new QLabel(this);
    m_low = new QLabel(this);
    m_high = new QLabel(this);
    slider = new controls::Slider(this);
    slider->setObjectName(sliderState.name());
    slider->setMinimumWidth(195);
    value = new QLabel(this);
    value->setObjectName(valueState.name());
    // Room for the widest value ("256 Kbps") so the row does not shift.
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("256 Kbps")));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_caption);
    row->addWidget(m_low);
    row->addWidget(slider, 1);
    row->addWidget(m_high);
    row->addWidget(value);

    bind(sliderState, slider);
    bind(valueState, value);
    applyCaptions();
}

void SliderRowWidget::applyCaptions()
{
    m_caption->setText(lang::caption(m_texts.caption));
    m_low->setText(lang::caption(m_texts.low));
    m_high->setText(lang::caption(m_texts.high));
}

} // namespace options
