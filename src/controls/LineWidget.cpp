#include "controls/LineWidget.h"

#include <QPainter>

namespace controls {

LineWidget::LineWidget(QWidget* parent) : QWidget(parent)
{
    // A line is drawing only: presses go to the panel below it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::setBorderColor(const QColor& color)
{
    m_border = color;
    update();
}

void LineWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (width() >= height())
        painter.fillRect(0, height() / 2, width(), 1, m_border);
    else
        painter.fillRect(width() / 2, 0, 1, height(), m_border);
}

} // namespace controls
