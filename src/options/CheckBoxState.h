#pragma once

#include "options/ControlState.h"

namespace options {

//! A check box: ticked or not.
class CheckBoxState : public ControlState {
    Q_OBJECT
public:
    explicit CheckBoxState(const QString& name, bool value = false, QObject* parent = nullptr);

    bool Value() const { return m_value; }
    //! A change of value raises Click with the new value; setting the value it
    //! already has raises nothing.
    void setValue(bool value);

Q_SIGNALS:
    void valueChanged(bool value);
    void Click();

private:
    bool m_value = false;
};

} // namespace options
