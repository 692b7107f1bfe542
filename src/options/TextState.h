#pragma once

#include "options/ControlState.h"

namespace options {

//! A text box: its text, as typed or set.
class TextState : public ControlState {
    Q_OBJECT
public:
    explicit TextState(const QString& name, const QString& text = {}, QObject* parent = nullptr);

    QString Text() const { return m_text; }
    void setText(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    QString m_text;
};

} // namespace options
