#pragma once

#include <QObject>
#include <QString>

namespace options {

//! What every option control has: its name (the control's name, also its
//! object name) and whether it is enabled. The widgets show this state and
//! write the user's edits back into it; headless code reads and sets it.
class ControlState : public QObject {
    Q_OBJECT
public:
    explicit ControlState(const QString& name, QObject* parent = nullptr);

    QString name() const { return objectName(); }
    bool Enabled() const { return m_enabled; }
    //! Disabling never changes a control's value or selection.
    void setEnabled(bool enabled);

Q_SIGNALS:
    void enabledChanged(bool enabled);

private:
    bool m_enabled = true;
};

} // namespace options
