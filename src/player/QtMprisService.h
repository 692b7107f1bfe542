#pragma once

#include "engine/MediaTags.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace player {

class PlayerPanel;

//! The player as the desktop's media keys and media controls see it: the
//! MPRIS 2 interfaces (org.mpris.MediaPlayer2 and its Player) on the session
//! bus, under the name org.mpris.MediaPlayer2.tonemill (a second copy of the
//! program adds ".instance<pid>"). Play, Pause, PlayPause, Stop, Next and
//! Previous are the player buttons' own actions; the playback status and the
//! title, artist, album and length of the file played are announced as they
//! change.
class QtMprisService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* kServicePrefix = "org.mpris.MediaPlayer2.tonemill";

    QtMprisService(PlayerPanel& panel, const QDBusConnection& bus, QObject* parent = nullptr);
    ~QtMprisService() override;

    //! False when the bus could not be reached or the name not taken.
    bool isRegistered() const { return !m_serviceName.isEmpty(); }
    const QString& serviceName() const { return m_serviceName; }

    //! "Playing", "Paused" or "Stopped".
    QString playbackStatus() const;
    //! The MPRIS metadata of the file played; only the "no track" id when idle.
    QVariantMap metadata() const;
    //! How far the file played has come, in microseconds.
    qlonglong position() const;

    PlayerPanel& panel() { return m_panel; }

Q_SIGNALS:
    //! The desktop asked to bring the window to the front.
    void raiseRequested();

private:
    void announce();

    PlayerPanel& m_panel;
    QDBusConnection m_bus;
    QString m_serviceName;
    // The tags of the file played, read once when it starts.
    mutable QString m_taggedFile;
    mutable engine::MediaTags m_tags;
};

} // namespace player
