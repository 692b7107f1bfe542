// The README's recipe for converting one library with several machines that
// share its folder: GNU Parallel spreads the files over the logins of a hosts
// file, each running `tonemill convert --json --skip-existing --tree-root`.
// The second "machine" is an OpenSSH server this test starts on 127.0.0.1,
// on a port of its own, with keys made for it; the machine's own sshd, the
// user's ~/.ssh and agent are never used.

#include "support/CommandTest.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
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
        if (QStandardPaths::findExecutable(QStringLiteral("parallel")).isEmpty())
            GTEST_SKIP() << "GNU Parallel is not installed (scripts/setup.sh installs parallel)";
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("ssh"))));
        QString why;
        if (!m_ssh.start(why))
            GTEST_SKIP() << "no loopback SSH server: " << why.toStdString();
        // GNU Parallel's notice about citing it stays out of the test's output.
        ASSERT_TRUE(QDir().mkpath(tonemill.homeFolder() + QStringLiteral("/.parallel")));
        ASSERT_TRUE(writeFile(tonemill.homeFolder() + QStringLiteral("/.parallel/will-cite"), ""));
    }

    //! Runs the recipe (the README's, with this test's logins) over `lib`
    //! into `out`; the JSON lines of every machine in `output`.
    int runRecipe(const QString& lib, const QString& out, QByteArray& output, QByteArray& joblog)
    {
        const QString hosts = path(QStringLiteral("hosts"));
        const QString log = path(QStringLiteral("joblog"));
        QFile::remove(log);
        EXPECT_TRUE(
            writeFile(hosts, "1/:\n1/ssh -F " + QFile::encodeName(m_ssh.clientConfig()) + ' ' + kPeer.toUtf8() + '\n'));
        QProcessEnvironment environment = tonemill.environment();
        environment.remove(QStringLiteral("SSH_AUTH_SOCK")); // never the user's agent
        environment.insert(QStringLiteral("TONEMILL"), tonemill.program());
        environment.insert(QStringLiteral("LIB"), lib);
        environment.insert(QStringLiteral("OUT"), out);
        environment.insert(QStringLiteral("HOSTS"), hosts);
        environment.insert(QStringLiteral("JOBLOG"), log);
        QProcess recipe;
        recipe.setProcessEnvironment(environment);
        recipe.setWorkingDirectory(work.path());
        // The program's own folders travel to the other machine with --env,
        // as a real one would have them set in its own environment.
        recipe.start(
            QStringLiteral("bash"),
            {QStringLiteral("-c"), QStringLiteral("set -o pipefail; find \"$LIB\" -type f -print0 | "
                                                  "parallel -0 -X --sshloginfile \"$HOSTS\" --joblog \"$JOBLOG\" "
                                                  "--env TONEMILL_HOME --env XDG_CONFIG_HOME --env HOME --env LC_ALL "
                                                  "\"$TONEMILL\" convert --json --skip-existing --tree-root \"$LIB\" "
                                                  "--format wav --output \"$OUT\"")});
        recipe.waitForStarted();
        recipe.closeWriteChannel();
        recipe.waitForFinished(300000);
        output = recipe.readAllStandardOutput();
        joblog = readFile(log);
        const QByteArray errors = recipe.readAllStandardError();
        if (recipe.exitCode() != 0)
            ADD_FAILURE() << errors.constData();
        return recipe.exitStatus() == QProcess::NormalExit ? recipe.exitCode() : -1;
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

//! Every file below `folder` with its bytes, by its path inside it.
QMap<QString, QByteArray> treeOf(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(QDir(folder).relativeFilePath(file), readFile(file));
    }
    return files;
}

TEST_F(ParallelRecipeTest, TwoMachinesConvertEveryFileOnceAsOneMachineWould)
{
    // A library of three levels, with names a shell would trip over.
    const QString lib = path(QStringLiteral("library"));
    const QString tone = path(QStringLiteral("tone.flac"));
    ASSERT_TRUE(testsupport::makeTone(tone, 0.8, 44100, 2));
    const QStringList names = {
        QStringLiteral("a.flac"),
        QStringLiteral("Artist/b.flac"),
        QStringLiteral("Artist/it's a \"song\" $(x).flac"),
        QStringLiteral("Artist/Album/01 one.flac"),
        QStringLiteral("Artist/Album/02 two.flac"),
        QStringLiteral("Artist/Album/03 three.flac"),
        QStringLiteral("Other/Album/01 one.flac"),
        QStringLiteral("Other/Album/02 two.flac"),
        QStringLiteral("Other/Live/01 one.flac"),
        QStringLiteral("Other/Live/02 two.flac"),
    };
    QList<QByteArray> expected;
    for (const QString& name : names) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(lib + u'/' + name).path()));
        ASSERT_TRUE(QFile::copy(tone, lib + u'/' + name));
        expected << QFile::encodeName(lib + u'/' + name).toHex() + " Complete";
    }
    std::sort(expected.begin(), expected.end());

    QByteArray output;
    QByteArray joblog;
    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(runRecipe(lib, out, output, joblog), 0);

    // Both logins ran a share, each file went to exactly one of them.
    EXPECT_TRUE(joblog.contains("\t:\t")) << joblog.constData();
    EXPECT_TRUE(joblog.contains("ssh -F")) << joblog.constData();
    int totals = 0;
    QByteArray rows = rowsOf(output, totals);
    EXPECT_EQ(totals, 2) << output.constData();
    EXPECT_EQ(rows.trimmed().split('\n'), expected) << output.constData();

    // The outputs are those of one machine converting the library alone.
    const QString reference = path(QStringLiteral("reference"));
    const testsupport::TonemillResult alone = tonemill.run(
        {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output"),
         reference, QStringLiteral("--recursive"), QStringLiteral("--keep-tree"), lib});
    ASSERT_EQ(alone.exitCode, 0) << alone.err.constData();
    const QMap<QString, QByteArray> made = treeOf(out);
    EXPECT_EQ(made.keys(), treeOf(reference).keys());
    EXPECT_TRUE(made == treeOf(reference));
    EXPECT_EQ(made.size(), names.size());

    // Run again over the finished library: every file skipped, nothing new.
    ASSERT_EQ(runRecipe(lib, out, output, joblog), 0);
    rows = rowsOf(output, totals);
    for (QByteArray& row : expected)
        row.replace(" Complete", " Skipped");
    EXPECT_EQ(rows.trimmed().split('\n'), expected) << output.constData();
    EXPECT_TRUE(treeOf(out) == made);
}

} // namespace
