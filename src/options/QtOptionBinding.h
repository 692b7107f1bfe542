#pragma once

#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace controls {
class SliderWidget;
}

namespace options {

class ButtonState;
class CheckBoxState;
class ControlState;
class LabelState;
class ListState;
class OptionButtonState;
class SliderState;
class TextState;

// Two-way bindings between an option control's state and the widget that
// shows it. The widget takes the state at once, follows every change of the
// state, and writes the user's edits back into the state, which raises the
// state's own events. A binding ends with the widget (or the state).

void bindEnabled(ControlState& state, QWidget* widget);
void bind(OptionButtonState& state, QRadioButton* button);
void bind(CheckBoxState& state, QCheckBox* box);
//! The list shows its items in the current language (listItemWords).
void bind(ListState& state, QComboBox* list);
//! Words the list's items again, in the current language.
void rewordList(QComboBox* list, const ListState& state);
void bind(SliderState& state, controls::SliderWidget* slider);
//! A number box for a slider's value: a small range a user types or steps.
void bind(SliderState& state, QSpinBox* box);
void bind(TextState& state, QLineEdit* box);
void bind(LabelState& state, QLabel* label);
void bind(ButtonState& state, QAbstractButton* button);
//! A drop-down list standing for exclusive option buttons: item i is
//! `options[i]` (the caller gives the items their texts); enabled with the
//! first option.
void bind(const std::vector<OptionButtonState*>& options, QComboBox* list);

} // namespace options
