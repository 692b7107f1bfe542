#include "app/DragPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

void DragPanel::mousePressEvent(QMouseEvent* event)
{
    // Any button, any modifiers, any position: a press on the panel itself.
    event->accept();
    Q_EMIT pressed();
}

void DragPanel::paintEvent(QPaintEvent*)
{
    // Lets style sheets paint the panel's background.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
