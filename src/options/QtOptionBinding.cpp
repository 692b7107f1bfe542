#include "options/QtOptionBinding.h"

#include "controls/SliderWidget.h"
#include "options/ButtonState.h"
#include "options/CheckBoxState.h"
#include "options/LabelState.h"
#include "options/ListItemWords.h"
#include "options/ListState.h"
#include "options/OptionButtonState.h"
#include "options/QtOptionButtonAccessible.h"
#include "options/SliderState.h"
#include "options/TextState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace options {

void bindEnabled(ControlState& state, QWidget* widget)
{
    widget->setEnabled(state.Enabled());
    QObject::connect(&state, &ControlState::enabledChanged, widget, &QWidget::setEnabled);
}

void bind(OptionButtonState& state, QRadioButton* button)
{
    // The group lives in the state: a group may have no option on, which Qt's
    // own exclusive buttons do not allow. A screen reader still hears a radio
    // button.
    button->setAutoExclusive(false);
    QtOptionButtonAccessible::install();
    button->setChecked(state.Value());
    bindEnabled(state, button);
    QObject::connect(&state, &OptionButtonState::valueChanged, button, &QAbstractButton::setChecked);
    QObject::connect(button, &QAbstractButton::clicked, &state, [&state, button] {
        state.click();
        // A click on the option that is on would otherwise turn it off.
        button->setChecked(state.Value());
    });
}

void bind(CheckBoxState& state, QCheckBox* box)
{
    box->setChecked(state.Value());
    bindEnabled(state, box);
    QObject::connect(&state, &CheckBoxState::valueChanged, box, &QAbstractButton::setChecked);
    QObject::connect(box, &QAbstractButton::toggled, &state, &CheckBoxState::setValue);
}

void bind(ListState& state, QComboBox* list)
{
    list->setEditable(false);
    auto fill = [&state, list] {
        const QSignalBlocker blocker(list);
        list->clear();
        for (const QString& item : state.items())
            list->addItem(listItemWords(item));
        list->setCurrentIndex(state.ListIndex());
    };
    fill();
    bindEnabled(state, list);
    QObject::connect(&state, &ListState::itemsChanged, list, fill);
    QObject::connect(&state, &ListState::listIndexChanged, list, [list](int index) {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(index);
    });
    QObject::connect(list, &QComboBox::currentIndexChanged, &state, [&state, list](int index) {
        if (!state.setListIndex(index)) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(state.ListIndex());
        }
    });
}

void bind(const std::vector<OptionButtonState*>& options, QComboBox* list)
{
    list->setEditable(false);
    auto show = [options, list] {
        const QSignalBlocker blocker(list);
        for (std::size_t i = 0; i < options.size(); ++i)
            if (options[i]->Value())
                list->setCurrentIndex(static_cast<int>(i));
    };
    show();
    if (!options.empty())
        bindEnabled(*options.front(), list);
    for (OptionButtonState* option : options)
        QObject::connect(option, &OptionButtonState::valueChanged, list, show);
    QObject::connect(list, &QComboBox::currentIndexChanged, list, [options](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < options.size())
            options[static_cast<std::size_t>(index)]->click();
    });
}

void rewordList(QComboBox* list, const ListState& state)
{
    const QSignalBlocker blocker(list);
    for (int i = 0; i < list->count() && i < state.ListCount(); ++i)
        list->setItemText(i, listItemWords(state.items()[i]));
}

namespace {

// Widens the range before narrowing it, so the slider's own range rules never
// bend the new limits.
void setRange(controls::SliderWidget* slider, qint32 min, qint32 max)
{
    if (min >= slider->Max()) {
        slider->setMax(max);
        slider->setMin(min);
    } else {
        slider->setMin(min);
        slider->setMax(max);
    }
}

} // namespace

void bind(SliderState& state, controls::SliderWidget* slider)
{
    setRange(slider, state.Min(), state.Max());
    slider->setSnap(state.Snap());
    slider->setEnabled(state.Enabled());
    slider->setValue(state.Value());

    // Both sides raise Change also when nothing changed; passing on only real
    // differences keeps the two from echoing each other.
    QObject::connect(&state, &SliderState::Change, slider, [&state, slider] {
        if (slider->Min() != state.Min() || slider->Max() != state.Max())
            setRange(slider, state.Min(), state.Max());
        if (slider->Value() != state.Value())
            slider->setValue(state.Value());
    });
    QObject::connect(&state, &ControlState::enabledChanged, slider,
                     [slider](bool enabled) { slider->setEnabled(enabled); });
    QObject::connect(slider, &controls::SliderWidget::Change, &state, [&state, slider] {
        if (slider->Value() != state.Value())
            state.setValue(slider->Value());
    });
}

void bind(SliderState& state, QSpinBox* box)
{
    box->setRange(state.Min(), state.Max());
    box->setValue(state.Value());
    box->setEnabled(state.Enabled());
    QObject::connect(&state, &SliderState::Change, box, [&state, box] {
        box->setRange(state.Min(), state.Max());
        if (box->value() != state.Value())
            box->setValue(state.Value());
    });
    QObject::connect(&state, &ControlState::enabledChanged, box, [box](bool enabled) { box->setEnabled(enabled); });
    QObject::connect(box, &QSpinBox::valueChanged, &state, [&state](int value) {
        if (value != state.Value())
            state.setValue(value);
    });
}

void bind(TextState& state, QLineEdit* box)
{
    box->setText(state.Text());
    bindEnabled(state, box);
    QObject::connect(&state, &TextState::textChanged, box, [box](const QString& text) {
        if (box->text() != text)
            box->setText(text);
    });
    QObject::connect(box, &QLineEdit::textEdited, &state, &TextState::setText);
}

void bind(LabelState& state, QLabel* label)
{
    label->setText(state.Caption());
    bindEnabled(state, label);
    QObject::connect(&state, &LabelState::captionChanged, label, &QLabel::setText);
}

void bind(ButtonState& state, QAbstractButton* button)
{
    bindEnabled(state, button);
    QObject::connect(button, &QAbstractButton::clicked, &state, &ButtonState::click);
}

} // namespace options
