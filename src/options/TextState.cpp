#include "options/TextState.h"

namespace options {

TextState::TextState(const QString& name, const QString& text, QObject* parent)
    : ControlState(name, parent), m_text(text)
{
}

void TextState::setText(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}

} // namespace options
