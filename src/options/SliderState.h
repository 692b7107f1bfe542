#pragma once

#include "options/ControlState.h"

namespace options {

//! The value of a quality slider with the slider control's range rules:
//! always Min < Max and Min <= Value <= Max. While it is disabled the mouse
//! cannot move it (the arrow keys still can).
class SliderState : public ControlState {
    Q_OBJECT
public:
    SliderState(const QString& name, qint32 min, qint32 max, qint32 value, QObject* parent = nullptr);

    qint32 Min() const { return m_min; }
    qint32 Max() const { return m_max; }
    qint32 Value() const { return m_value; }
    bool Snap() const { return m_snap; }

    //! Limits the value to Min..Max; raises Change even when nothing changed.
    void setValue(qint32 intValue);
    //! A Max not above Min becomes Min + 1; Value is lowered to it if above.
    //! Raises Change.
    void setMax(qint32 intMax);
    //! A Min not below Max becomes Max - 1; Value is raised to it if below.
    //! Raises Change.
    void setMin(qint32 intMin);
    void setSnap(bool snap) { m_snap = snap; }

Q_SIGNALS:
    void Change();

private:
    qint32 m_min;
    qint32 m_max;
    qint32 m_value;
    bool m_snap = true;
};

} // namespace options
