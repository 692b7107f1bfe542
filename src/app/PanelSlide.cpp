#include "app/PanelSlide.h"

#include <cmath>

namespace app {

PanelSlide::PanelSlide(int parkedTop) : m_parkedTop(parkedTop), m_top(parkedTop) {}

bool PanelSlide::open()
{
    // The opening buttons lie on the main panel, which is disabled while a
    // panel is up; the window may still call them directly, so an open panel
    // refuses here too: only one panel is ever up.
    if (m_timerRunning || !isParked())
        return false;
    m_mainEnabled = false;
    StartPanelMove(Direction::Up);
    return true;
}

void PanelSlide::setParkedTop(int parkedTop)
{
    const bool parked = isParked();
    m_parkedTop = parkedTop;
    if (parked)
        m_top = parkedTop;
}

void PanelSlide::StartPanelMove(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        moveStep = kOpenFirstStep;
        moveInterval = kOpenFirstInterval;
        break;
    case Direction::Down:
        moveStep = kCloseStep;
        moveInterval = kCloseInterval;
        break;
    }
    m_direction = direction;
    m_timerRunning = true;
}

void PanelSlide::tick()
{
    if (m_direction == Direction::Up)
        MovePanelUp();
    else if (m_direction == Direction::Down)
        MovePanelDown();
}

void PanelSlide::MovePanelUp()
{
    m_timerInterval = moveInterval;
    if (m_top < kStopBelow) {
        // It went slightly past its place; it settles back.
        stopAt(kOpenTop);
        return;
    }
    if (m_top < kSlowBelow && moveStep > kSmallestHalvedStep) {
        // Halves go to the even neighbour, as the default rounding does.
        moveStep = static_cast<int>(std::lrint(moveStep / 2.0));
        moveInterval *= 2;
    }
    m_top -= moveStep;
}

void PanelSlide::MovePanelDown()
{
    m_timerInterval = moveInterval;
    if (m_top >= m_parkedTop) {
        stopAt(m_parkedTop);
        m_mainEnabled = true;
        return;
    }
    m_top += moveStep;
}

void PanelSlide::stopAt(int top)
{
    m_timerRunning = false;
    m_top = top;
}

} // namespace app
