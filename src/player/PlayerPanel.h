#pragma once

#include "player/Player.h"
#include "player/QtPlaylistGrid.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace filelist {
class GridView;
}
namespace platform {
class Desktop;
}

namespace player {

//! The player's five buttons on the main panel, in a row: Play Previous,
//! Play, Pause (which reads "Resume" while paused), Stop and Play Next, and
//! beside them how far the file played has come of how long it is. The
//! panel owns the player, which plays the rows of `grid`; the row played
//! shows a play or pause sign beside its number.
//!
//! The buttons do not take the keyboard focus when clicked, so it stays in
//! the grid, whose active row follows Next and Previous.
class PlayerPanel : public QWidget {
    Q_OBJECT
public:
    PlayerPanel(platform::Desktop& desktop, filelist::GridView* grid, QWidget* parent = nullptr);

    Player& player() { return m_player; }

    //! Sets the buttons' captions in the current language; Pause keeps
    //! offering to resume while playback is paused.
    void applyCaptions();

    //! A double-click on the grid: Play's action, when Play is enabled.
    void playFromGrid();

    // What the desktop's media keys and controls ask (MPRIS): the buttons'
    // own actions, and nothing while the buttons are disabled (a batch runs).
    //! Whether the buttons take requests now.
    bool takesRequests() const;
    //! Resumes a paused file; when idle plays the row selected, else the row
    //! played last, else the first row.
    void requestPlay();
    void requestPause();
    void requestPlayPause();
    void requestStop();
    void requestNext();
    void requestPrevious();

    QPushButton* cmdPlayPrev = nullptr;
    QPushButton* cmdPlay = nullptr;
    QPushButton* cmdPause = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdPlayNext = nullptr;
    //! "01:23 / 04:56" while a file plays or is paused; empty otherwise.
    QLabel* lblPlayTime = nullptr;

private:
    void showPlayState();
    void showPlayTime();

    QPushButton* makeButton(const char* name, void (Player::*click)());

    filelist::GridView* m_gridView;
    QtPlaylistGrid m_grid;
    Player m_player;
    QTimer* m_clock = nullptr;
};

} // namespace player
