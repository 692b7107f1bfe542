#pragma once

#include "app/PanelSlide.h"

#include <QObject>
#include <QPointer>

class QTimer;
class QWidget;

namespace app {

//! Slides the options and about panels over the main panel: the timer
//! `tmrAnimate` steps PanelSlide and the moving panel `objMovePanel` follows
//! its top edge (twips, 15 to a pixel); the main panel is disabled while a
//! panel is up or moving. A parked panel is hidden, so it takes no focus.
class QtPanelSlide : public QObject {
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;

    //! `window` holds the panels; `mainPanel` is the panel they slide over,
    //! whose height is the parking place.
    QtPanelSlide(QWidget* window, QWidget* mainPanel);

    //! An opening button: nothing while the timer runs or a panel is up;
    //! otherwise `panel` becomes objMovePanel and slides up.
    void open(QWidget* panel);
    //! Slides objMovePanel up or down.
    void StartPanelMove(PanelSlide::Direction direction);
    //! One tick of tmrAnimate.
    void tmrAnimate_Timer();

    //! The window is `height` pixels high and the slide's places lie
    //! `below` pixels lower than in a window of the design size: the panels
    //! park at the window's bottom edge and open half the extra height down.
    void setArea(int height, int below);
    //! Moves objMovePanel to its place again (after setArea).
    void refresh();

    const PanelSlide& state() const { return m_slide; }
    QTimer* tmrAnimate = nullptr;
    QPointer<QWidget> objMovePanel;

private:
    void apply();

    QWidget* m_mainPanel;
    PanelSlide m_slide;
    int m_below = 0;
};

} // namespace app
