#pragma once

#include "controls/FramePanel.h"

namespace app {

//! A panel that reports every mouse press on itself (not on its child
//! controls): the window's own title area, by which it is dragged. A press
//! within a few pixels of its edges is a press on the window's frame, by
//! which it is resized; the pointer shows so while it is there.
class DragPanel : public controls::FramePanel {
    Q_OBJECT
public:
    //! How close to an edge a press resizes, in pixels.
    static constexpr int kResizeMargin = 5;

    explicit DragPanel(QWidget* parent = nullptr);

    //! The edges a press at `point` grabs; none away from them, or while the
    //! window fills the screen.
    Qt::Edges edgesAt(QPoint point) const;

Q_SIGNALS:
    void pressed();
    //! A press at the edges (one, or two at a corner) of the panel.
    void edgePressed(Qt::Edges edges);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace app
