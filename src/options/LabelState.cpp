#include "options/LabelState.h"

namespace options {

LabelState::LabelState(const QString& name, const QString& caption, QObject* parent)
    : ControlState(name, parent), m_caption(caption)
{
}

void LabelState::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    Q_EMIT captionChanged(m_caption);
}

} // namespace options
