#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "filelist/FileList.h"
#include "filelist/GridView.h"
#include "player/PlayerPanel.h"
#include "player/QtMprisService.h"
#include "support/Fixtures.h"
#include "support/PrivateSessionBus.h"
#include "support/ScriptedDesktop.h"
#include "support/SinkTest.h"
#include "support/SuiteMedia.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The player as the desktop sees it through MPRIS 2, on a session bus of the
// test's own: a client on another connection presses play, pause, next and
// stop, reads the status and the metadata, and hears of each change.

namespace {

using player::Player;

constexpr double kToneRms = 1000;

//! Receives the player's PropertiesChanged signals.
class ChangeListener : public QObject {
    Q_OBJECT
public:
    QStringList statuses;
public Q_SLOTS:
    void PropertiesChanged(const QString& interfaceName, const QVariantMap& changed, const QStringList&)
    {
        if (interfaceName == QLatin1String("org.mpris.MediaPlayer2.Player") &&
            changed.contains(QStringLiteral("PlaybackStatus")))
            statuses << changed.value(QStringLiteral("PlaybackStatus")).toString();
    }
};

class MprisTest : public testsupport::SinkTest {
protected:
    static void SetUpTestSuite()
    {
        SinkTest::SetUpTestSuite();
        s_made = s_media.open();
        s_made = s_made && testsupport::makeTone(path(0), 20, 44100, 2,
                                                 {QStringLiteral("-metadata"), QStringLiteral("title=First Song"),
                                                  QStringLiteral("-metadata"), QStringLiteral("artist=The Band"),
                                                  QStringLiteral("-metadata"), QStringLiteral("album=The Album")},
                                                 330);
        s_made = s_made && testsupport::makeTone(path(1), 20, 44100, 2, {}, 440);
    }

    static void TearDownTestSuite()
    {
        s_media.close();
        SinkTest::TearDownTestSuite();
    }

    static QString path(int row) { return s_media.filePath(QStringLiteral("row %1.flac").arg(row)); }

    void SetUp() override
    {
        SinkTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(s_made);
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
        engine::LoadFormatModules(); // FLAC, which carries the tags
        for (int row = 0; row < 2; ++row) {
            filelist::FileListRow entry;
            entry.path = path(row);
            ASSERT_TRUE(list.append(entry));
        }
        grid.bindList(&list);
        panel = std::make_unique<player::PlayerPanel>(desktop, &grid);
        service = std::make_unique<player::QtMprisService>(*panel, bus.connect(QStringLiteral("program")));
        ASSERT_TRUE(service->isRegistered());
        client = bus.connect(QStringLiteral("desktop"));
        ASSERT_TRUE(client.connect(QString(), QString::fromLatin1(player::QtMprisService::kObjectPath),
                                   QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"), &listener,
                                   SLOT(PropertiesChanged(QString, QVariantMap, QStringList))));
    }

    void TearDown() override
    {
        service.reset();
        panel.reset();
        BASS_Free();
    }

    //! Calls a method of the player's interface, as the desktop does, and
    //! waits for it to be done (the player answers on this thread).
    QDBusMessage call(const QString& interfaceName, const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            service->serviceName(), QString::fromLatin1(player::QtMprisService::kObjectPath), interfaceName, method);
        message.setArguments(arguments);
        QDBusPendingCallWatcher watcher(client.asyncCall(message));
        EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.isFinished(); }, 5000)) << method.toStdString();
        return watcher.reply();
    }
    void press(const char* method) { call(kPlayer, QString::fromLatin1(method)); }
    QVariant property(const QString& interfaceName, const char* name)
    {
        const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {interfaceName, QString::fromLatin1(name)});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QString status() { return property(kPlayer, "PlaybackStatus").toString(); }
    QVariantMap metadata()
    {
        const QVariant data = property(kPlayer, "Metadata");
        QVariantMap map;
        data.value<QDBusArgument>() >> map;
        return map;
    }
    static double heard() { return SinkTest::heard(kToneRms); }

    const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
    static inline testsupport::SuiteMedia s_media;
    static inline bool s_made = false;

    testsupport::PrivateSessionBus bus;
    testsupport::ScriptedDesktop desktop;
    filelist::FileList list;
    filelist::GridView grid;
    std::unique_ptr<player::PlayerPanel> panel;
    std::unique_ptr<player::QtMprisService> service;
    QDBusConnection client{QStringLiteral("unset")};
    ChangeListener listener;
};

} // namespace

TEST_F(MprisTest, TheDesktopSeesThePlayerAndDrivesItsButtons)
{
    const QString root = QStringLiteral("org.mpris.MediaPlayer2");
    EXPECT_EQ(service->serviceName(), QStringLiteral("org.mpris.MediaPlayer2.tonemill"));
    EXPECT_EQ(property(root, "Identity").toString(), QStringLiteral("Tonemill"));
    EXPECT_EQ(property(root, "DesktopEntry").toString(), QStringLiteral("tonemill"));
    EXPECT_TRUE(property(kPlayer, "CanControl").toBool());
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
    EXPECT_EQ(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));

    // Play with nothing chosen in the grid plays the first row.
    press("Play");
    EXPECT_EQ(panel->player().sPlayerFile(), path(0));
    EXPECT_EQ(status(), QStringLiteral("Playing"));
    EXPECT_NEAR(heard(), 330, 15);
    const QVariantMap playing = metadata();
    EXPECT_EQ(playing.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("First Song"));
    EXPECT_EQ(playing.value(QStringLiteral("xesam:artist")).toStringList(), QStringList{QStringLiteral("The Band")});
    EXPECT_EQ(playing.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("The Album"));
    EXPECT_NEAR(playing.value(QStringLiteral("mpris:length")).toLongLong() / 1e6, 20, 0.1);
    EXPECT_EQ(playing.value(QStringLiteral("xesam:url")).toString(), QUrl::fromLocalFile(path(0)).toString());

    press("Pause");
    EXPECT_EQ(status(), QStringLiteral("Paused"));
    EXPECT_EQ(panel->cmdPause->text(), QStringLiteral("Resume"));
    EXPECT_EQ(heard(), 0);
    press("PlayPause");
    EXPECT_EQ(status(), QStringLiteral("Playing"));

    press("Next");
    EXPECT_EQ(panel->player().sPlayerFile(), path(1));
    EXPECT_NEAR(heard(), 440, 15);
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:title")).toString(), QStringLiteral("row 1")) << "no tags";
    press("Previous");
    EXPECT_EQ(panel->player().sPlayerFile(), path(0));

    press("Stop");
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
    EXPECT_EQ(heard(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.statuses.size() >= 6; }, 5000));
    EXPECT_EQ(listener.statuses,
              QStringList({QStringLiteral("Playing"), QStringLiteral("Paused"), QStringLiteral("Playing"),
                           QStringLiteral("Playing"), QStringLiteral("Playing"), QStringLiteral("Stopped")}));

    // While a batch has the buttons disabled, the desktop cannot play either.
    for (QPushButton* button :
         {panel->cmdPlay, panel->cmdPause, panel->cmdStop, panel->cmdPlayNext, panel->cmdPlayPrev})
        button->setEnabled(false);
    EXPECT_FALSE(property(kPlayer, "CanPlay").toBool());
    press("Play");
    EXPECT_EQ(status(), QStringLiteral("Stopped"));
}

#include "Mpris_test.moc"
