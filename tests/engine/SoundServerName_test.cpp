#include "engine/Bass.h"
#include "engine/SoundServerName.h"
#include "support/Fixtures.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// The sound server lists the program by its own name and icon. A process
// names itself once, when it first reaches the server: this test has a
// program of its own.

namespace {

//! The properties of the sound server's client that is this process, as
//! `pactl` lists them ("application.name" -> "Tonemill"); empty when none.
QMap<QString, QString> ownClient()
{
    // pactl must not inherit the names this process gave itself.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys())
        if (name.startsWith(QLatin1String("PULSE_PROP")))
            environment.remove(name);
    QProcess pactl;
    pactl.setProcessEnvironment(environment);
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("clients")});
    if (!pactl.waitForFinished(10000))
        return {};
    const QString pid = QString::number(QCoreApplication::applicationPid());
    QMap<QString, QString> client;
    for (const QString& raw : QString::fromUtf8(pactl.readAllStandardOutput()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("Client #"))) {
            if (client.value(QStringLiteral("application.process.id")) == pid)
                return client;
            client.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1String(" = "));
        if (equals > 0)
            client.insert(line.left(equals), line.mid(equals + 3).remove(u'"'));
    }
    return client.value(QStringLiteral("application.process.id")) == pid ? client : QMap<QString, QString>();
}

} // namespace

TEST(SoundServerName, TheProgramIsListedByItsNameAndIcon)
{
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER") &&
        QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("info")}) != 0)
        GTEST_SKIP() << "no sound server";
    engine::NameSoundServerClient("Tonemill", "tonemill");
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();

    QTemporaryDir folder;
    const QString tone = folder.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(tone, 5, 44100, 2));
    const HSTREAM stream = BASS_StreamCreateFile(false, tone.toUtf8().constData(), 0, 0, 0);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));

    QMap<QString, QString> client;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !(client = ownClient()).isEmpty(); }, 5000));
    EXPECT_EQ(client.value(QStringLiteral("application.name")), QStringLiteral("Tonemill"));
    EXPECT_EQ(client.value(QStringLiteral("application.icon_name")), QStringLiteral("tonemill"));
    BASS_ChannelStop(stream);
    BASS_Free();
}
