#include "options/OptionButtonState.h"

#include "options/OptionGroup.h"

namespace options {

OptionButtonState::OptionButtonState(OptionGroup& group, const QString& name, bool value, QObject* parent)
    : ControlState(name, parent), m_group(group)
{
    if (value)
        for (OptionButtonState* other : m_group.members())
            other->m_value = false;
    m_value = value;
    m_group.add(this);
}

OptionButtonState::~OptionButtonState()
{
    m_group.remove(this);
}

void OptionButtonState::setValue(bool value)
{
    if (value) {
        for (OptionButtonState* other : m_group.members())
            if (other != this)
                other->store(false);
    }
    store(value);
    if (value)
        Q_EMIT Click();
}

void OptionButtonState::store(bool value)
{
    if (m_value == value)
        return;
    m_value = value;
    Q_EMIT valueChanged(m_value);
}

} // namespace options
