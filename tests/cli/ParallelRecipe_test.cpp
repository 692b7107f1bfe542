// The README's recipe for converting one library with several machines that
// share its folder, run as the README writes it: GNU Parallel spreads the
// library's folders (its albums) over the logins of a hosts file, each
// running `tonemill convert --json --skip-existing --tree-root` with the
// settings of an options file. The second "machine" is an OpenSSH server
// this test starts on 127.0.0.1, on a port of its own, with keys made for
// it; the machine's own sshd, the user's ~/.ssh and agent are never used.

#include "support/CommandTest.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;

const QString kPeer = QStringLiteral("tonemill-test-peer");

QString userName()
{
    const passwd* user = ::getpwuid(::geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
}

//! A free TCP port on the loopback address (free when asked).
quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

//! An OpenSSH server on 127.0.0.1 for this test alone, and the client
//! configuration that reaches it as `kPeer`: keys made in `folder`, its own
//! known hosts, no password, only the user running the test. As root, where
//! sshd needs /run/sshd and the machine has none, it runs in a mount
//! namespace of its own with a private /run, so nothing of the machine changes.
class LoopbackSshServer {
public:
    explicit LoopbackSshServer(QString folder) : m_folder(std::move(folder)) {}
    ~LoopbackSshServer()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(10000))
                m_server.kill();
            m_server.waitForFinished(10000);
        }
    }

    //! Starts the server; false with the reason in `why`.
    bool start(QString& why)
    {
        const QString sshd = QStandardPaths::findExecutable(QStringLiteral("sshd"),
                                                            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (sshd.isEmpty()) {
            why = QStringLiteral("sshd is not installed (scripts/setup.sh installs openssh-server)");
            return false;
        }
        for (const char* key : {"host_key", "client_key"})
            if (testsupport::runProgram(QStringLiteral("ssh-keygen"),
                                        {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                         QStringLiteral("-N"), QString(), QStringLiteral("-f"), file(key)}) != 0) {
                why = QStringLiteral("ssh-keygen failed");
                return false;
            }
        if (!QFile::copy(file("client_key.pub"), file("authorized_keys"))) {
            why = QStringLiteral("no authorized_keys");
            return false;
        }
        const bool privateRun = ::geteuid() == 0 && !QFileInfo::exists(QStringLiteral("/run/sshd"));
        // A port can be taken between the asking and the listening: a few tries.
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = freeLoopbackPort();
            if (m_port == 0 || !writeConfigs())
                continue;
            const QString command = QStringLiteral("exec '%1' -D -e -f '%2'").arg(sshd, file("sshd_config"));
            if (privateRun)
                m_server.start(QStringLiteral("unshare"),
                               {QStringLiteral("-m"), QStringLiteral("--propagation"), QStringLiteral("private"),
                                QStringLiteral("sh"), QStringLiteral("-c"),
                                QStringLiteral("mount -t tmpfs tmpfs /run && mkdir -m 0755 /run/sshd && ") + command});
            else
                m_server.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
            if (!m_server.waitForStarted(10000))
                continue;
            if (waitUntilListening())
                return true;
            why = QString::fromLocal8Bit(m_server.readAllStandardError());
            m_server.kill();
            m_server.waitForFinished(10000);
        }
        if (why.isEmpty())
            why = QStringLiteral("sshd did not start");
        return false;
    }

    QString clientConfig() const { return file("ssh_config"); }

private:
    QString file(const char* name) const { return m_folder + u'/' + QLatin1String(name); }

    bool writeConfigs()
    {
        const QByteArray user = userName().toLocal8Bit();
        const QByteArray server = "Port " + QByteArray::number(m_port) +
                                  "\nListenAddress 127.0.0.1\n"
                                  "HostKey " +
                                  QFile::encodeName(file("host_key")) + "\nAuthorizedKeysFile " +
                                  QFile::encodeName(file("authorized_keys")) + "\nPidFile " +
                                  QFile::encodeName(file("sshd.pid")) + "\nAllowUsers " + user +
                                  "\nStrictModes no\nUsePAM no\nPasswordAuthentication no\n"
                                  "KbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\n"
                                  "LogLevel ERROR\n";
        const QByteArray client =
            "Host " + kPeer.toUtf8() + "\n  HostName 127.0.0.1\n  Port " + QByteArray::number(m_port) + "\n  User " +
            user + "\n  IdentityFile " + QFile::encodeName(file("client_key")) +
            "\n  IdentitiesOnly yes\n  UserKnownHostsFile " + QFile::encodeName(file("known_hosts")) +
            "\n  GlobalKnownHostsFile /dev/null\n  StrictHostKeyChecking accept-new\n"
            "  BatchMode yes\n  LogLevel ERROR\n";
        return writeFile(file("sshd_config"), server) && writeFile(file("ssh_config"), client);
    }

    bool waitUntilListening()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 15000 && m_server.state() == QProcess::Running) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(500) && socket.waitForReadyRead(2000) && socket.readAll().startsWith("SSH-"))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QString m_folder;
    quint16 m_port = 0;
    QProcess m_server;
};

class ParallelRecipeTest : public testsupport::CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        if (HasFatalFailure())
            return;
        for (const char* program : {"parallel", "jq"})
            if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
                GTEST_SKIP() << program << " is not installed (scripts/setup.sh installs it)";
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("ssh"))));
        QString why;
        if (!m_ssh.start(why))
            GTEST_SKIP() << "no loopback SSH server: " << why.toStdString();
        // GNU Parallel's notice about citing it stays out of the test's output.
        ASSERT_TRUE(QDir().mkpath(tonemill.homeFolder() + QStringLiteral("/.parallel")));
        ASSERT_TRUE(writeFile(tonemill.homeFolder() + QStringLiteral("/.parallel/will-cite"), ""));
        // `tonemill` on the PATH, as the package installs it.
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("bin"))));
        ASSERT_TRUE(QFile::link(tonemill.program(), path(QStringLiteral("bin/tonemill"))));
    }

    //! The README's recipe: the indented block that holds "parallel -0".
    static QString recipe()
    {
        const QStringList lines =
            QString::fromUtf8(readFile(testsupport::sourceDir() + QStringLiteral("/README.md"))).split(u'\n');
        qsizetype at = -1;
        for (qsizetype i = 0; i < lines.size() && at < 0; ++i)
            if (lines.at(i).startsWith(QLatin1String("    ")) && lines.at(i).contains(QLatin1String("parallel -0")))
                at = i;
        if (at < 0)
            return {};
        qsizetype first = at;
        while (first > 0 && lines.at(first - 1).startsWith(QLatin1String("    ")))
            --first;
        QStringList block;
        for (qsizetype i = first; i < lines.size() && lines.at(i).startsWith(QLatin1String("    ")); ++i)
            block << lines.at(i).mid(4);
        return block.join(u'\n');
    }

    //! Runs the recipe over `lib` into `out`, this test's logins in HOSTS;
    //! the rows of every call in `rows`, what the last line prints in `sum`.
    int runRecipe(const QString& lib, const QString& out, QByteArray& rows, QByteArray& sum, QByteArray& joblog)
    {
        const QString hosts = path(QStringLiteral("hosts"));
        const QString log = path(QStringLiteral("joblog"));
        const QString rowsFile = path(QStringLiteral("rows.jsonl"));
        QFile::remove(log);
        EXPECT_TRUE(
            writeFile(hosts, ":\nssh -F " + QFile::encodeName(m_ssh.clientConfig()) + ' ' + kPeer.toUtf8() + '\n'));
        QString script = recipe();
        EXPECT_FALSE(script.isEmpty()) << "no recipe in the README";
        script.replace(QStringLiteral("/srv/music"), lib)
            .replace(QStringLiteral("/srv/mp3"), out)
            .replace(QStringLiteral("HOSTS"), hosts)
            .replace(QStringLiteral("rows.jsonl"), rowsFile);
        QProcessEnvironment environment = tonemill.environment();
        environment.remove(QStringLiteral("SSH_AUTH_SOCK")); // never the user's agent
        environment.insert(QStringLiteral("PATH"),
                           path(QStringLiteral("bin")) + u':' + environment.value(QStringLiteral("PATH")));
        // The program's own folders, and the PATH that finds it, travel to
        // the other machine as a real one would have them set in its own
        // environment; GNU Parallel takes options from $PARALLEL.
        environment.insert(QStringLiteral("PARALLEL"),
                           QStringLiteral("--joblog %1 --env PATH --env TONEMILL_HOME --env XDG_CONFIG_HOME --env HOME "
                                          "--env LC_ALL")
                               .arg(log));
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setWorkingDirectory(work.path());
        run.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("set -eo pipefail\n") + script});
        run.waitForStarted();
        run.closeWriteChannel();
        run.waitForFinished(600000);
        sum = run.readAllStandardOutput();
        rows = readFile(rowsFile);
        joblog = readFile(log);
        const QByteArray errors = run.readAllStandardError();
        if (run.exitCode() != 0)
            ADD_FAILURE() << script.toStdString() << "\n" << errors.constData();
        return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
    }

    LoopbackSshServer m_ssh{path(QStringLiteral("ssh"))};
};

//! The rows of JSON lines as "input-bytes-in-hex status", one a line and
//! sorted, and the number of totals lines; read by Python, whose
//! surrogateescape gives the names' bytes back.
QByteArray rowsOf(const QByteArray& jsonLines, int& totals)
{
    const QByteArray script = R"(import json, os, sys
rows, totals = [], 0
for line in sys.stdin:
    o = json.loads(line)
    if 'totals' in o:
        totals += 1
    else:
        rows.append(os.fsencode(o['input']).hex() + ' ' + o['status'])
print(totals)
print('\n'.join(sorted(rows)))
)";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(script)});
    python.waitForStarted();
    python.write(jsonLines);
    python.closeWriteChannel();
    python.waitForFinished(30000);
    QByteArray out = python.readAllStandardOutput();
    const qsizetype firstLine = out.indexOf('\n');
    totals = out.left(firstLine).toInt();
    return out.mid(firstLine + 1);
}

//! Every file below `folder` with its album gain, by its path inside it.
QMap<QString, QString> albumGainsBelow(const QString& folder)
{
    QMap<QString, QString> gains;
    QDirIterator it(folder, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QByteArray tags;
        testsupport::runProgram(QStringLiteral("ffprobe"),
                                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                 QStringLiteral("format_tags=REPLAYGAIN_ALBUM_GAIN"), QStringLiteral("-of"),
                                 QStringLiteral("default=nw=1:nk=1"), file},
                                &tags);
        gains.insert(QDir(folder).relativeFilePath(file), QString::fromUtf8(tags.trimmed()));
    }
    return gains;
}

TEST_F(ParallelRecipeTest, TwoMachinesConvertWholeAlbumsAsOneMachineWould)
{
    // Three albums whose tracks are tones of their own pitch and level, so
    // that each album's gain differs from its tracks' and from the others';
    // names a shell would trip over; covers that are not audio.
    const QString lib = path(QStringLiteral("library"));
    struct Track {
        const char* name;
        double frequency;
        const char* volume;
    };
    const Track tracks[] = {
        {"Artist/First/01 one.flac", 220, "-6dB"},     {"Artist/First/02 it's a \"song\" $(x).flac", 880, "-20dB"},
        {"Artist/First/03 three.flac", 3000, "-12dB"}, {"Artist/Second/01 one.flac", 440, "-3dB"},
        {"Artist/Second/02 two.flac", 150, "-25dB"},   {"Other/Live/01 one.flac", 1200, "-9dB"},
        {"Other/Live/02 two.flac", 60, "-1dB"},
    };
    QList<QByteArray> expected;
    for (const Track& track : tracks) {
        const QString file = lib + u'/' + QString::fromUtf8(track.name);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        ASSERT_TRUE(testsupport::makeTone(
            file, 1.5, 44100, 2, {QStringLiteral("-af"), QStringLiteral("volume=") + QLatin1String(track.volume)},
            track.frequency));
        expected << QFile::encodeName(file).toHex() + " Complete";
    }
    for (const char* cover : {"Artist/First/cover.jpg", "Other/Live/notes.log"}) {
        ASSERT_TRUE(writeFile(lib + u'/' + QLatin1String(cover), "not audio"));
        expected << QFile::encodeName(lib + u'/' + QLatin1String(cover)).toHex() + " Refused";
    }
    std::sort(expected.begin(), expected.end());

    QByteArray rows;
    QByteArray sum;
    QByteArray joblog;
    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(runRecipe(lib, out, rows, sum, joblog), 0);

    // Both logins ran a share, each file went to exactly one of them, and the
    // covers did not fail the run.
    EXPECT_TRUE(joblog.contains("\t:\t")) << joblog.constData();
    EXPECT_TRUE(joblog.contains("ssh -F")) << joblog.constData();
    int totals = 0;
    EXPECT_EQ(rowsOf(rows, totals).trimmed().split('\n'), expected) << rows.constData();
    EXPECT_GE(totals, 2);
    // The jq line adds every call's totals up.
    const QJsonObject summed = QJsonDocument::fromJson(sum).object();
    EXPECT_EQ(summed.value(QStringLiteral("rows")).toInt(), int(std::size(tracks))) << sum.constData();
    EXPECT_EQ(summed.value(QStringLiteral("complete")).toInt(), int(std::size(tracks)));
    EXPECT_EQ(summed.value(QStringLiteral("refused")).toInt(), 2);

    // The album gains are those of one machine converting the library alone
    // with the same settings, and differ from album to album.
    const QString reference = path(QStringLiteral("reference"));
    const testsupport::TonemillResult alone = tonemill.run(
        {QStringLiteral("convert"), QStringLiteral("--options-from"), out + QStringLiteral("/tonemill.options"),
         QStringLiteral("--output"), reference, QStringLiteral("--recursive"), QStringLiteral("--keep-tree"), lib});
    ASSERT_EQ(alone.exitCode, 0) << alone.err.constData();
    const QMap<QString, QString> gains = albumGainsBelow(out);
    EXPECT_EQ(gains.size(), std::size(tracks));
    EXPECT_EQ(gains, albumGainsBelow(reference));
    const QString first = gains.value(QStringLiteral("Artist/First/01 one.mp3"));
    EXPECT_TRUE(first.endsWith(QLatin1String(" dB"))) << first.toStdString();
    EXPECT_EQ(gains.value(QStringLiteral("Artist/First/03 three.mp3")), first);
    EXPECT_NE(gains.value(QStringLiteral("Artist/Second/01 one.mp3")), first);
    EXPECT_NE(gains.value(QStringLiteral("Other/Live/01 one.mp3")), first);

    // Run again over the finished library: every file skipped, nothing new.
    ASSERT_EQ(runRecipe(lib, out, rows, sum, joblog), 0);
    for (QByteArray& row : expected)
        row.replace(" Complete", " Skipped");
    EXPECT_EQ(rowsOf(rows, totals).trimmed().split('\n'), expected) << rows.constData();
    EXPECT_EQ(albumGainsBelow(out), gains);
}

} // namespace
