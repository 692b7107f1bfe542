#pragma once

#include <QString>

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

    static constexpr const char* kUp = "EDIT_FRAME_UP";
    static constexpr const char* kDown = "EDIT_FRAME_DOWN";
    static constexpr const char* kMovingUp = "Edit Frame 2 Up";
    static constexpr const char* kMovingDown = "Edit Frame 2 Down";

    //! `parkedTop` is the window's height: where a closed panel rests.
    explicit PanelSlide(int parkedTop);

    //! An opening button: nothing while the timer runs or a panel is open
    //! already; otherwise disables the main panel and starts the opening.
    //! True when the slide started.
    bool open();

    //! Prepares the slide for "EDIT_FRAME_UP" or "EDIT_FRAME_DOWN" (any other
    //! text keeps the step, interval and direction) and starts the timer. A
    //! closing started while the panel still goes up reverses it from where
    //! it is.
    void StartPanelMove(const QString& direction);

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

    QString sMoveObject;
    int lMoveStep = 0;
    int lMoveInterval = 0;

private:
    void stopAt(int top);

    int m_parkedTop;
    int m_top;
    int m_timerInterval = kDesignInterval;
    bool m_timerRunning = false;
    bool m_mainEnabled = true;
};

} // namespace app
