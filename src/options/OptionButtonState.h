#pragma once

#include "options/ControlState.h"

namespace options {

class OptionGroup;

//! An option button: one of the exclusive choices of its group.
class OptionButtonState : public ControlState {
    Q_OBJECT
public:
    //! Joins `group`, which must outlive the option; `value` is the initial
    //! state and raises nothing.
    OptionButtonState(OptionGroup& group, const QString& name, bool value = false, QObject* parent = nullptr);
    ~OptionButtonState() override;

    bool Value() const { return m_value; }
    //! True turns the other options of the group off, then this one on, then
    //! raises Click (also when it was on already). False turns only this one
    //! off, without an event, and may leave the group with none on.
    void setValue(bool value);
    //! A click by the user: the option is turned on.
    void click() { setValue(true); }

    OptionGroup& group() const { return m_group; }

Q_SIGNALS:
    void valueChanged(bool value);
    void Click();

private:
    void store(bool value);

    OptionGroup& m_group;
    bool m_value = false;
};

} // namespace options
