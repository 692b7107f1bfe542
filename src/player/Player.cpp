#include "player/Player.h"

#include "engine/AudioEngine.h"
#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"
#include "player/PlaylistGrid.h"

#include <algorithm>
#include <cmath>

namespace player {

Player::Player(platform::Desktop& desktop, PlaylistGrid& grid, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_grid(grid)
{
}

Player::~Player() = default;

Player::PlayState Player::playState() const
{
    if (!m_channel)
        return PlayState::Idle;
    return m_pauseCaption == lang::StringId::Resume ? PlayState::Paused : PlayState::Playing;
}

double Player::lengthSeconds() const
{
    if (!m_channel)
        return 0;
    const QWORD length = BASS_ChannelGetLength(m_channel.get(), BASS_POS_BYTE);
    if (length == QWORD(-1))
        return 0;
    return std::max(0.0, BASS_ChannelBytes2Seconds(m_channel.get(), length));
}

double Player::elapsedSeconds() const
{
    if (!m_channel)
        return 0;
    const QWORD position = BASS_ChannelGetPosition(m_channel.get(), BASS_POS_BYTE);
    if (position == QWORD(-1))
        return 0;
    const double elapsed = std::max(0.0, BASS_ChannelBytes2Seconds(m_channel.get(), position));
    const double length = lengthSeconds();
    return length > 0 ? std::fmod(elapsed, length) : elapsed;
}

void Player::tellState()
{
    const PlayState state = playState();
    if (state == m_toldState && m_playerFile == m_toldFile)
        return;
    m_toldState = state;
    m_toldFile = m_playerFile;
    Q_EMIT playStateChanged();
}

QString Player::pauseCaption() const
{
    return lang::caption(m_pauseCaption);
}

void Player::setPauseCaption(lang::StringId id)
{
    m_pauseCaption = id;
    Q_EMIT pauseCaptionChanged(pauseCaption());
    tellState();
}

void Player::showEngineError()
{
    const QString text =
        lang::caption(lang::StringId::ErrorCodePrefix) + QString::number(BASS_ErrorGetCode()) + QStringLiteral(")");
    m_desktop.messageBox(text, lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Critical,
                         platform::Desktop::Buttons::Ok);
}

void Player::PlayFile(const QString& filePath)
{
    if (m_channel)
        StopPlayback();
    m_channel.reset();
    m_channel = engine::ChannelHandle::open(filePath, kStreamFlags, kMusicFlags);
    if (!m_channel) {
        tellState();
        return;
    }
    if (!BASS_ChannelPlay(m_channel.get(), false))
        showEngineError();
    tellState();
}

void Player::PausePlayback()
{
    if (!BASS_ChannelPause(m_channel.get()))
        showEngineError();
}

void Player::ResumePlayback()
{
    if (!BASS_ChannelPlay(m_channel.get(), false))
        showEngineError();
}

void Player::StopPlayback()
{
    if (!BASS_ChannelStop(m_channel.get()))
        showEngineError();
}

void Player::PlaySelectedRow()
{
    // Mark the candidates: the active row, the active cell and every row
    // holding a selected cell get their path or tick-box cell selected.
    const PlaylistGrid::Cell active = m_grid.activeCell();
    if (active.row >= 0) {
        m_grid.setCellSelected(active.row, filelist::FileList::FilePath, true);
        m_grid.setCellSelected(active.row, active.column, true);
    }
    const QList<int> rows = m_grid.selectedCellRows();
    for (qsizetype i = rows.size() - 1; i >= 0; --i)
        m_grid.setCellSelected(rows[i], filelist::FileList::CheckBox, true);

    // The lowest candidate plays.
    for (int row = m_grid.rowCount() - 1; row >= 0; --row) {
        if (m_grid.isCellSelected(row, filelist::FileList::CheckBox) || m_grid.isRowSelected(row)) {
            m_playerFile = m_grid.filePath(row);
            PlayFile(m_playerFile);
            return;
        }
    }
}

void Player::PlayNextRow()
{
    playAdjacentRow(+1);
}

void Player::PlayPreviousRow()
{
    playAdjacentRow(-1);
}

void Player::playAdjacentRow(int step)
{
    if (m_playerFile.isEmpty())
        return;
    const int count = m_grid.rowCount();
    if (count == 0)
        return;
    const int first = step > 0 ? 0 : count - 1;
    const auto hasAdjacent = [&](int row) { return row + step >= 0 && row + step < count; };

    bool found = false;
    int row = first;
    if (m_grid.filePath(row) == m_playerFile) {
        m_grid.setRowSelected(row, false);
        found = true;
    }
    while (hasAdjacent(row)) {
        row += step;
        if (found) {
            m_grid.setRowSelected(row, true);
            // The active row follows, so that Play replays this row and the
            // keyboard goes on from it.
            m_grid.setActiveRow(row);
            m_playerFile = m_grid.filePath(row);
            PlayFile(m_playerFile);
            return;
        }
        if (m_grid.filePath(row) == m_playerFile && hasAdjacent(row)) {
            m_grid.setRowSelected(row, false);
            m_grid.setCellSelected(row, filelist::FileList::CheckBox, false);
            found = true;
        }
    }
}

void Player::cmdPlay_Click()
{
    if (m_channel)
        StopPlayback();
    PlaySelectedRow();
    setPauseCaption(lang::StringId::Pause);
}

void Player::cmdPause_Click()
{
    if (!m_channel)
        return;
    if (m_pauseCaption == lang::StringId::Pause) {
        PausePlayback();
        setPauseCaption(lang::StringId::Resume);
    } else {
        ResumePlayback();
        setPauseCaption(lang::StringId::Pause);
    }
}

void Player::cmdStop_Click()
{
    if (!m_channel)
        return;
    StopPlayback();
    m_channel.reset();
    setPauseCaption(lang::StringId::Pause);
    tellState();
}

void Player::cmdPlayNext_Click()
{
    setPauseCaption(lang::StringId::Pause);
    PlayNextRow();
}

void Player::cmdPlayPrev_Click()
{
    setPauseCaption(lang::StringId::Pause);
    PlayPreviousRow();
}

} // namespace player
