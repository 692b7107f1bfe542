#pragma once

#include "options/ButtonState.h"

namespace convert {

//! A command button whose caption the logic changes (a convert button reads
//! "Stop" while its batch runs).
class CaptionButtonState : public options::ButtonState {
    Q_OBJECT
public:
    explicit CaptionButtonState(const QString& name, QObject* parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

Q_SIGNALS:
    void captionChanged(const QString& caption);

private:
    QString m_caption;
};

} // namespace convert
