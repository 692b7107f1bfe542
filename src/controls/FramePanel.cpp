#include "controls/FramePanel.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace controls {

namespace {

constexpr qreal kCornerRadius = 5;

} // namespace

FramePanel::FramePanel(QWidget* parent) : QWidget(parent)
{
    setBodyColorTopLeft(m_bodyTopLeft);
    setForeColor(m_fore);
    updateMargins();
}

void FramePanel::setBodyColorBottomLeft(const QColor& color)
{
    m_bodyBottomLeft = color;
    update();
}

void FramePanel::setBodyColorBottomRight(const QColor& color)
{
    m_bodyBottomRight = color;
    update();
}

void FramePanel::setBodyColorTopLeft(const QColor& color)
{
    m_bodyTopLeft = color;
    // Controls that fill their own background (a page laid over another)
    // take the body's colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
    update();
}

void FramePanel::setBorderColor(const QColor& color)
{
    m_border = color;
    update();
}

void FramePanel::setForeColor(const QColor& color)
{
    m_fore = color;
    // Labels, option buttons and check boxes on the panel take it as their
    // text colour; a disabled one fades halfway into the panel's body, so it
    // reads as disabled.
    const QColor body = m_bodyTopLeft;
    const QColor faded((color.red() + body.red()) / 2, (color.green() + body.green()) / 2,
                       (color.blue() + body.blue()) / 2);
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        colours.setColor(QPalette::Active, role, color);
        colours.setColor(QPalette::Inactive, role, color);
        colours.setColor(QPalette::Disabled, role, faded);
    }
    setPalette(colours);
    update();
}

void FramePanel::setHeaderColorBottomLeft(const QColor& color)
{
    m_headerBottomLeft = color;
    update();
}

void FramePanel::setHeaderColorTopLeft(const QColor& color)
{
    m_headerTopLeft = color;
    update();
}

void FramePanel::setText(const QString& title)
{
    m_title = title;
    updateMargins();
    update();
}

void FramePanel::setHeaderShown(bool shown)
{
    m_headerShown = shown;
    updateMargins();
    update();
}

int FramePanel::headerHeight() const
{
    if (!m_headerShown && m_title.isEmpty())
        return 0;
    QFont bold = font();
    bold.setBold(true);
    return QFontMetrics(bold).height() + 10;
}

void FramePanel::updateMargins()
{
    // Layouts on the panel keep clear of the border and the header strip.
    setContentsMargins(1, headerHeight() + 1, 1, 1);
}

void FramePanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateMargins();
    QWidget::changeEvent(event);
}

void FramePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(outline, kCornerRadius, kCornerRadius);

    QLinearGradient body(outline.topLeft(), outline.bottomRight());
    body.setColorAt(0, m_bodyTopLeft);
    body.setColorAt(0.5, m_bodyBottomLeft);
    body.setColorAt(1, m_bodyBottomRight);
    painter.fillPath(shape, body);

    const int header = headerHeight();
    if (header > 0) {
        const QRectF strip(outline.left(), outline.top(), outline.width(), header);
        QLinearGradient shade(strip.topLeft(), strip.bottomLeft());
        shade.setColorAt(0, m_headerTopLeft);
        shade.setColorAt(1, m_headerBottomLeft);
        painter.save();
        painter.setClipRect(strip);
        painter.fillPath(shape, shade);
        painter.restore();
        if (!m_title.isEmpty()) {
            QFont bold = font();
            bold.setBold(true);
            painter.setFont(bold);
            const QRectF textArea = strip.adjusted(8, 0, -8, 0);
            // A dark edge keeps the white title readable on the light end of
            // the strip.
            painter.setPen(QColor(0, 0, 0, 90));
            painter.drawText(textArea.translated(1, 1), Qt::AlignVCenter | Qt::AlignLeft, m_title);
            painter.setPen(Qt::white);
            painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft, m_title);
        }
    }

    painter.setPen(QPen(m_border, 1));
    painter.drawPath(shape);
}

} // namespace controls
