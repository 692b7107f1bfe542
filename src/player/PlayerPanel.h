#pragma once

#include "player/Player.h"
#include "player/QtPlaylistGrid.h"

#include <QWidget>

class QPushButton;

namespace filelist {
class GridView;
}
namespace platform {
class Desktop;
}

namespace player {

//! The player's five buttons on the main panel, in a row: Play Previous,
//! Play, Pause (which reads "Resume" while paused), Stop and Play Next. The
//! panel owns the player, which plays the rows of `grid`.
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

    QPushButton* cmdPlayPrev = nullptr;
    QPushButton* cmdPlay = nullptr;
    QPushButton* cmdPause = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdPlayNext = nullptr;

private:
    QPushButton* makeButton(const char* name, void (Player::*click)());

    QtPlaylistGrid m_grid;
    Player m_player;
};

} // namespace player
