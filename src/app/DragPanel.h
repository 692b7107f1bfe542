#pragma once

#include "controls/FramePanel.h"

#include <QPoint>

namespace app {

//! The window's own title area and background, by which it is moved and
//! resized. A left press on the title strip, or on the panel where no
//! control, text or link lies, followed by a drag past the platform's drag
//! distance, moves the window (dragStarted()); a press and release without
//! such a drag is only a click, so a quick tap never starts a move. A press
//! within a few pixels of the panel's edges grabs the window's frame, by
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
    //! Whether a drag beginning at `point` moves the window: in the title
    //! strip, or where the panel shows nothing but itself (its lines too).
    bool movesFrom(QPoint point) const;

Q_SIGNALS:
    //! The user drags the window: a system move should begin.
    void dragStarted();
    //! The button of a drag was released while the move should be running:
    //! whatever the platform did with the move, it is over.
    void dragReleased();
    //! A press at the edges (one, or two at a corner) of the panel.
    void edgePressed(Qt::Edges edges);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void showEdgeCursor(QPoint point);

    QPoint m_pressedAt;
    bool m_pressed = false; // a press that may become a move
    bool m_moving = false;  // a move was asked for and its button is still down
};

} // namespace app
