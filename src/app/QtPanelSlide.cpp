#include "app/QtPanelSlide.h"

#include <QTimer>
#include <QWidget>

namespace app {

QtPanelSlide::QtPanelSlide(QWidget* window, QWidget* mainPanel)
    : QObject(window), m_mainPanel(mainPanel), m_slide(mainPanel->height() * kTwipsPerPixel)
{
    tmrAnimate = new QTimer(this);
    tmrAnimate->setObjectName(QStringLiteral("tmrAnimate"));
    tmrAnimate->setInterval(PanelSlide::kDesignInterval);
    tmrAnimate->setTimerType(Qt::PreciseTimer);
    connect(tmrAnimate, &QTimer::timeout, this, &QtPanelSlide::tmrAnimate_Timer);
}

void QtPanelSlide::open(QWidget* panel)
{
    if (!m_slide.isParked() || m_slide.timerRunning())
        return;
    objMovePanel = panel;
    if (!m_slide.open())
        return;
    objMovePanel->show();
    objMovePanel->raise();
    apply();
}

void QtPanelSlide::StartPanelMove(PanelSlide::Direction direction)
{
    if (!objMovePanel)
        return;
    m_slide.StartPanelMove(direction);
    apply();
}

void QtPanelSlide::tmrAnimate_Timer()
{
    m_slide.tick();
    apply();
}

void QtPanelSlide::setArea(int height, int below)
{
    m_below = below;
    m_slide.setParkedTop((height - below) * kTwipsPerPixel);
}

void QtPanelSlide::refresh()
{
    if (objMovePanel && !m_slide.isParked())
        objMovePanel->move(objMovePanel->x(), m_below + m_slide.top() / kTwipsPerPixel);
}

void QtPanelSlide::apply()
{
    m_mainPanel->setEnabled(m_slide.mainPanelEnabled());
    if (objMovePanel) {
        objMovePanel->move(objMovePanel->x(), m_below + m_slide.top() / kTwipsPerPixel);
        if (m_slide.isParked())
            objMovePanel->hide();
    }
    tmrAnimate->setInterval(m_slide.timerInterval());
    if (!m_slide.timerRunning())
        tmrAnimate->stop();
    else if (!tmrAnimate->isActive())
        tmrAnimate->start();
}

} // namespace app
