#include "options/ControlState.h"

namespace options {

ControlState::ControlState(const QString& name, QObject* parent) : QObject(parent)
{
    setObjectName(name);
}

void ControlState::setEnabled(bool BolEnabled)
{
    if (m_enabled == BolEnabled)
        return;
    m_enabled = BolEnabled;
    Q_EMIT enabledChanged(m_enabled);
}

} // namespace options
