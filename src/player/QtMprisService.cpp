#include "player/QtMprisService.h"

#include "lang/StringLookup.h"
#include "platform/FileName.h"
#include "platform/Path.h"
#include "player/PlayerPanel.h"
#include "tags/ReadMediaTags.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QUrl>

namespace player {

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// The track id MPRIS reserves for "nothing is playing".
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

//! org.mpris.MediaPlayer2: who the player is.
class MprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ no)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ none)
    Q_PROPERTY(QStringList SupportedMimeTypes READ none)
public:
    explicit MprisRoot(QtMprisService* service) : QDBusAbstractAdaptor(service), m_service(service) {}

    bool no() const { return false; }
    bool yes() const { return true; }
    QString identity() const { return lang::caption(lang::StringId::ProductName); }
    QString desktopEntry() const { return QStringLiteral("tonemill"); }
    QStringList none() const { return {}; }

public Q_SLOTS:
    void Raise() { Q_EMIT m_service->raiseRequested(); }
    //! The program ends only by its own close button (which refuses during a batch).
    void Quit() {}

private:
    QtMprisService* m_service;
};

//! org.mpris.MediaPlayer2.Player: the buttons and what plays.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QString LoopStatus READ loopStatus)
    Q_PROPERTY(double Rate READ one)
    Q_PROPERTY(bool Shuffle READ no)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ one)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ one)
    Q_PROPERTY(double MaximumRate READ one)
    Q_PROPERTY(bool CanGoNext READ takesRequests)
    Q_PROPERTY(bool CanGoPrevious READ takesRequests)
    Q_PROPERTY(bool CanPlay READ takesRequests)
    Q_PROPERTY(bool CanPause READ takesRequests)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayer(QtMprisService* service) : QDBusAbstractAdaptor(service), m_service(service) {}

    QString playbackStatus() const { return m_service->playbackStatus(); }
    //! The player plays a file over and over until told otherwise.
    QString loopStatus() const { return QStringLiteral("Track"); }
    double one() const { return 1.0; }
    bool no() const { return false; }
    bool yes() const { return true; }
    QVariantMap metadata() const { return m_service->metadata(); }
    qlonglong position() const { return m_service->position(); }
    bool takesRequests() const { return m_service->panel().takesRequests(); }

public Q_SLOTS:
    void Next() { m_service->panel().requestNext(); }
    void Previous() { m_service->panel().requestPrevious(); }
    void Pause() { m_service->panel().requestPause(); }
    void PlayPause() { m_service->panel().requestPlayPause(); }
    void Stop() { m_service->panel().requestStop(); }
    void Play() { m_service->panel().requestPlay(); }
    // The player has no playing position to move to.
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

Q_SIGNALS:
    // moc writes the definition with names of its own; the name here is the
    // one the desktop's introspection shows.
    // NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
    void Seeked(qlonglong position);

private:
    QtMprisService* m_service;
};

} // namespace

QtMprisService::QtMprisService(PlayerPanel& panel, const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_panel(panel), m_bus(bus)
{
    new MprisRoot(this);
    new MprisPlayer(this);
    if (!m_bus.isConnected() ||
        !m_bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors))
        return;
    // A second copy of the program takes a name of its own.
    const QString name = QString::fromLatin1(kServicePrefix);
    const QString instance = name + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString& candidate : {name, instance}) {
        if (m_bus.registerService(candidate)) {
            m_serviceName = candidate;
            break;
        }
    }
    if (m_serviceName.isEmpty()) {
        m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return;
    }
    connect(&m_panel.player(), &Player::playStateChanged, this, &QtMprisService::announce);
}

QtMprisService::~QtMprisService()
{
    if (m_serviceName.isEmpty())
        return;
    m_bus.unregisterService(m_serviceName);
    m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

QString QtMprisService::playbackStatus() const
{
    switch (m_panel.player().playState()) {
    case Player::PlayState::Playing:
        return QStringLiteral("Playing");
    case Player::PlayState::Paused:
        return QStringLiteral("Paused");
    case Player::PlayState::Idle:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap QtMprisService::metadata() const
{
    const Player& player = m_panel.player();
    QVariantMap data;
    if (player.playState() == Player::PlayState::Idle) {
        data.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(kNoTrack)));
        return data;
    }
    const QString file = player.sPlayerFile();
    if (file != m_taggedFile) {
        m_tags = tags::ReadMediaTags(file);
        m_taggedFile = file;
    }
    // A track id of the file's own, which changes as another file plays.
    data.insert(QStringLiteral("mpris:trackid"),
                QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/tonemill/track/%1").arg(qHash(file), 0, 16))));
    data.insert(QStringLiteral("mpris:length"), qlonglong(player.lengthSeconds() * 1e6));
    data.insert(QStringLiteral("xesam:url"), platform::fileUrl(file).toString());
    data.insert(QStringLiteral("xesam:title"),
                m_tags.title.isEmpty() ? platform::displayName(platform::Path(file).stem()) : m_tags.title);
    if (!m_tags.artist.isEmpty())
        data.insert(QStringLiteral("xesam:artist"), QStringList{m_tags.artist});
    if (!m_tags.album.isEmpty())
        data.insert(QStringLiteral("xesam:album"), m_tags.album);
    return data;
}

qlonglong QtMprisService::position() const
{
    return qlonglong(m_panel.player().elapsedSeconds() * 1e6);
}

void QtMprisService::announce()
{
    QVariantMap changed;
    changed.insert(QStringLiteral("PlaybackStatus"), playbackStatus());
    changed.insert(QStringLiteral("Metadata"), metadata());
    QDBusMessage signal =
        QDBusMessage::createSignal(QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_bus.send(signal);
}

} // namespace player

#include "QtMprisService.moc"
