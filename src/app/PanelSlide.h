#pragma once

#include <optional>

namespace app {

//! The arithmetic of the sliding panels, in twips, without a window: where the
//! moving panel's top edge is, what the animation timer does and whether the
//! main panel may be used. The window applies this state after every step.
class PanelSlide {
public:
    static constexpr int kOpenFirstStep = 300;    // twips
    static constexpr int kOpenFirstInterval = 10; // ms
    static constexpr int kSlowBelow = 3100;
    static constexpr int kSmallestHalvedStep = 100;
    static constexpr int kStopBelow = 2650;
    static constexpr int kOpenTop = 2715;
    static constexpr int kCloseStep = 500;
    static constexpr int kCloseInterval = 5;
    //! The timer's interval in the window design.
    static constexpr int kDesignInterval = 10;

    //! Which way the panel slides: up to open, down to close.
    enum class Direction { Up, Down };

    //! `parkedTop` is the window's height: where a closed panel rests.
    explicit PanelSlide(int parkedTop);

    //! An opening button: nothing while the timer runs or a panel is open
    //! already; otherwise disables the main panel and starts the opening.
    //! True when the slide started.
    bool open();

    //! Prepares the slide's step and interval for `direction` and starts the
    //! timer. A closing started while the panel still goes up reverses it
    //! from where it is.
    void StartPanelMove(Direction direction);

    //! The window's height changed: a closed panel rests at the new height,
    //! a closing one stops there; an open one stays where it is.
    void setParkedTop(int parkedTop);
    int parkedTop() const { return m_parkedTop; }

    //! One tick of the timer: the step of the slide in progress.
    void tick();
    void MovePanelUp();
    void MovePanelDown();

    int top() const { return m_top; }
    bool timerRunning() const { return m_timerRunning; }
    int timerInterval() const { return m_timerInterval; }
    bool mainPanelEnabled() const { return m_mainEnabled; }
    //! Idle: the panel parked and the timer stopped.
    bool isParked() const { return !m_timerRunning && m_top >= m_parkedTop; }
    //! The way of the last slide started; none before the first.
    std::optional<Direction> direction() const { return m_direction; }

    int moveStep = 0;
    int moveInterval = 0;

private:
    void stopAt(int top);

    int m_parkedTop;
    int m_top;
    int m_timerInterval = kDesignInterval;
    std::optional<Direction> m_direction;
    bool m_timerRunning = false;
    bool m_mainEnabled = true;
};

} // namespace app
