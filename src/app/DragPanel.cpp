#include "app/DragPanel.h"

#include <QMouseEvent>

namespace app {

DragPanel::DragPanel(QWidget* parent) : controls::FramePanel(parent)
{
    setMouseTracking(true);
}

Qt::Edges DragPanel::edgesAt(QPoint point) const
{
    Qt::Edges edges;
    if (window()->isMaximized() || window()->isFullScreen())
        return edges;
    if (point.x() < kResizeMargin)
        edges |= Qt::LeftEdge;
    else if (point.x() >= width() - kResizeMargin)
        edges |= Qt::RightEdge;
    if (point.y() < kResizeMargin)
        edges |= Qt::TopEdge;
    else if (point.y() >= height() - kResizeMargin)
        edges |= Qt::BottomEdge;
    return edges;
}

void DragPanel::mousePressEvent(QMouseEvent* event)
{
    // Any button, any modifiers: a press on the panel itself.
    event->accept();
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (edges && event->button() == Qt::LeftButton)
        Q_EMIT edgePressed(edges);
    else
        Q_EMIT pressed();
}

void DragPanel::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
        setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else if (horizontal) {
        setCursor(Qt::SizeHorCursor);
    } else if (vertical) {
        setCursor(Qt::SizeVerCursor);
    } else {
        unsetCursor();
    }
    FramePanel::mouseMoveEvent(event);
}

void DragPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && event->position().y() < headerHeight())
        Q_EMIT doubleClicked();
}

} // namespace app
