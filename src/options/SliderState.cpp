#include "options/SliderState.h"

#include <algorithm>
#include <limits>

namespace options {

SliderState::SliderState(const QString& name, qint32 min, qint32 max, qint32 value, QObject* parent)
    : ControlState(name, parent), m_min(min), m_max(max > min ? max : min + 1), m_value(std::clamp(value, m_min, m_max))
{
}

void SliderState::setValue(qint32 intValue)
{
    m_value = std::clamp(intValue, m_min, m_max);
    Q_EMIT Change();
}

void SliderState::setMax(qint32 intMax)
{
    // Min + 1 cannot overflow: Min is always below some Max.
    m_max = intMax > m_min ? intMax : m_min + 1;
    m_value = std::min(m_value, m_max);
    Q_EMIT Change();
}

void SliderState::setMin(qint32 intMin)
{
    m_min = intMin < m_max ? intMin : m_max - 1;
    m_value = std::max(m_value, m_min);
    Q_EMIT Change();
}

} // namespace options
