#pragma once

#include "controls/FramePanel.h"

namespace app {

//! A panel that reports every mouse press on itself (not on its child
//! controls): the window's own title area, by which it is dragged.
class DragPanel : public controls::FramePanel {
    Q_OBJECT
public:
    using controls::FramePanel::FramePanel;

Q_SIGNALS:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace app
