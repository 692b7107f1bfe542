#include "app/DragPanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

namespace app {

namespace {

//! The deepest visible child of `parent` at `point` (in `parent`'s
//! coordinates), those that let the mouse through included; nullptr where
//! there is none.
const QWidget* widgetAt(const QWidget* parent, QPoint point)
{
    // The topmost child is the last one.
    const QObjectList& children = parent->children();
    const auto hit = std::find_if(children.rbegin(), children.rend(), [point](const QObject* child) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        return widget && !widget->isWindow() && widget->isVisible() && widget->geometry().contains(point);
    });
    if (hit == children.rend())
        return nullptr;
    const auto* widget = static_cast<const QWidget*>(*hit);
    const QWidget* inner = widgetAt(widget, point - widget->pos());
    return inner ? inner : widget;
}

//! Whether a widget shows something a press could be meant for: a control
//! (anything the keyboard can reach, any button), a text or a link. The
//! widgets that only hold others, and the lines, are the panel's ground.
bool showsContent(const QWidget* widget)
{
    return widget->focusPolicy() != Qt::NoFocus || qobject_cast<const QLabel*>(widget) ||
           qobject_cast<const QAbstractButton*>(widget);
}

} // namespace

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

bool DragPanel::movesFrom(QPoint point) const
{
    if (point.y() < headerHeight())
        return true; // the title strip: its title too
    const QWidget* under = widgetAt(this, point);
    return !under || !showsContent(under);
}

void DragPanel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = false;
    m_moving = false;
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (const Qt::Edges edges = edgesAt(point)) {
        Q_EMIT edgePressed(edges);
        return;
    }
    m_pressed = movesFrom(point);
    m_pressedAt = point;
}

void DragPanel::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_pressed && (event->buttons() & Qt::LeftButton) &&
        (point - m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressed = false;
        m_moving = true;
        Q_EMIT dragStarted();
        return;
    }
    if (!event->buttons())
        showEdgeCursor(point);
    FramePanel::mouseMoveEvent(event);
}

void DragPanel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = false;
    // A release that reaches the window means the platform's move did not
    // take the button (it came too late): the move must not outlive it.
    if (m_moving && event->button() == Qt::LeftButton) {
        m_moving = false;
        Q_EMIT dragReleased();
    }
}

void DragPanel::showEdgeCursor(QPoint point)
{
    const Qt::Edges edges = edgesAt(point);
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
}

void DragPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && event->position().y() < headerHeight())
        Q_EMIT doubleClicked();
}

} // namespace app
