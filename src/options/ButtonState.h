#pragma once

#include "options/ControlState.h"

namespace options {

//! A command button: enabled or not, and its click.
class ButtonState : public ControlState {
    Q_OBJECT
public:
    using ControlState::ControlState;

    //! Raises Click when the button is enabled; a disabled button cannot be
    //! pressed.
    void click();

Q_SIGNALS:
    void Click();
};

} // namespace options
