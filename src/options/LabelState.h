#pragma once

#include "options/ControlState.h"

namespace options {

//! A label whose caption the option logic writes (value labels, the summary).
class LabelState : public ControlState {
    Q_OBJECT
public:
    explicit LabelState(const QString& name, const QString& caption = {}, QObject* parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

Q_SIGNALS:
    void captionChanged(const QString& caption);

private:
    QString m_caption;
};

} // namespace options
