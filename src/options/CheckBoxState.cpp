#include "options/CheckBoxState.h"

namespace options {

CheckBoxState::CheckBoxState(const QString& name, bool value, QObject* parent)
    : ControlState(name, parent), m_value(value)
{
}

void CheckBoxState::setValue(bool value)
{
    if (m_value == value)
        return;
    m_value = value;
    Q_EMIT valueChanged(m_value);
    Q_EMIT Click();
}

} // namespace options
