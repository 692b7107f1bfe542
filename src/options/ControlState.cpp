#include "options/ControlState.h"

namespace options {

ControlState::ControlState(const QString& name, QObject* parent) : QObject(parent)
{
    setObjectName(name);
}

void ControlState::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Q_EMIT enabledChanged(m_enabled);
}

} // namespace options
