#pragma once

#include "engine/Bass.h"
#include "engine/ChannelHandle.h"
#include "lang/StringTable.h"

#include <QObject>
#include <QString>

namespace platform {
class Desktop;
}

namespace player {

class PlaylistGrid;

//! The player: plays one row of the file list at a time, in a loop, through
//! the engine's own output, and steps to the next or previous row. It keeps
//! the channel it opened last (`hPlayChannel`) and the path of the row it
//! started last (`sPlayerFile`); the engine decodes and plays on its own
//! thread, so nothing here waits for audio.
//!
//! Whether playback is paused is the caption the Pause button shows: "Pause"
//! while not paused, "Resume" while paused.
class Player : public QObject {
    Q_OBJECT
public:
    //! Stream flags of a played file: loop + effects.
    static constexpr DWORD kStreamFlags = BASS_SAMPLE_LOOP | BASS_SAMPLE_FX;
    //! Module flags, for files the stream opener refuses: loop + ramping.
    static constexpr DWORD kMusicFlags = BASS_MUSIC_LOOP | BASS_MUSIC_RAMP;

    Player(platform::Desktop& desktop, PlaylistGrid& grid, QObject* parent = nullptr);
    //! Stops and releases the channel it holds.
    ~Player() override;

    //! The channel opened by the last PlayFile; 0 when there is none.
    DWORD hPlayChannel() const { return m_channel.get(); }
    //! Path of the row the player started last; never cleared.
    QString sPlayerFile() const { return m_playerFile; }

    //! Where the player stands: nothing to play, playing, or paused.
    enum class PlayState { Idle, Playing, Paused };
    PlayState playState() const;

    //! How far the channel has played and how long its file is, in seconds
    //! (0 when idle or not known). A file that loops counts again from 0.
    double elapsedSeconds() const;
    double lengthSeconds() const;

    //! The caption of the Pause button, in the current language.
    QString pauseCaption() const;
    //! True while the Pause button offers to resume.
    bool showsResume() const { return m_pauseCaption == lang::StringId::Resume; }

    //! Stops the current channel, opens `filePath` (as a stream, else as a
    //! tracker module) and starts it. A file neither opener takes leaves the
    //! player idle and shows nothing.
    void PlayFile(const QString& filePath);

    // One engine call each on hPlayChannel; a refusal shows the engine error box.
    void PausePlayback();
    void ResumePlayback();
    void StopPlayback();

    //! Plays the lowest of the active row, the rows holding a selected cell
    //! and the selected rows.
    void PlaySelectedRow();
    //! Plays the row after (before) the one of sPlayerFile; at the end of the
    //! list, or when that row is gone, nothing changes.
    void PlayNextRow();
    void PlayPreviousRow();

    // The five buttons.
    void cmdPlay_Click();
    void cmdPause_Click();
    void cmdStop_Click();
    void cmdPlayNext_Click();
    void cmdPlayPrev_Click();

Q_SIGNALS:
    void pauseCaptionChanged(const QString& caption);
    //! The state or the file played changed.
    void playStateChanged();

private:
    void playAdjacentRow(int step);
    //! Tells the listeners when the state or the file changed since last told.
    void tellState();
    void setPauseCaption(lang::StringId id);
    void showEngineError();

    platform::Desktop& m_desktop;
    PlaylistGrid& m_grid;
    // The engine would keep a stopped or replaced channel (and its open file)
    // until it shuts down; the handle frees it as soon as it is let go.
    engine::ChannelHandle m_channel;
    QString m_playerFile;
    lang::StringId m_pauseCaption = lang::StringId::Pause;
    PlayState m_toldState = PlayState::Idle;
    QString m_toldFile;
};

} // namespace player
