#include "convert/CaptionButtonState.h"

namespace convert {

CaptionButtonState::CaptionButtonState(const QString& name, QObject* parent) : options::ButtonState(name, parent) {}

void CaptionButtonState::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    Q_EMIT captionChanged(m_caption);
}

} // namespace convert
