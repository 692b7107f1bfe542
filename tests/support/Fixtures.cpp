#include "support/Fixtures.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

int runProgram(const QString& program, const QStringList& arguments, QByteArray* standardOutput)
{
    // posix_spawn rather than QProcess: QProcess starts the child with
    // clone(CLONE_VM | CLONE_VFORK), and the child's calls into the C library
    // then run the thread checker's hooks on the parent's own state, which
    // from then on misses the parent's locks (every later hand-over of the
    // main thread looks like a race). posix_spawn's child stays inside the C
    // library until it runs the program.
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0)
        return -1;
    // Names keep their bytes (platform/FileName.h), so a test can hand a
    // tool a path that is not UTF-8.
    std::vector<QByteArray> words{platform::nativeName(program)};
    for (const QString& argument : arguments)
        words.push_back(platform::nativeName(argument));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    pid_t child = -1;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    QByteArray out;
    char buffer[65536];
    for (ssize_t got; spawned == 0 && (got = ::read(output[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            out.append(buffer, got);
        else if (errno != EINTR)
            break;
    }
    ::close(output[0]);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (standardOutput)
        *standardOutput = out;
    if (!WIFEXITED(status))
        return -1;
    if (WEXITSTATUS(status) != 0)
        qWarning("%s failed with exit code %d", qPrintable(program), WEXITSTATUS(status));
    return WEXITSTATUS(status);
}

bool makeFromLavfi(const QString& path, const QString& source, const QStringList& extraOutputOptions)
{
    QStringList args{
        QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
        QStringLiteral("-f"),           QStringLiteral("lavfi"),     QStringLiteral("-i"),    source};
    args += extraOutputOptions;
    args << path;
    return runProgram(QStringLiteral("ffmpeg"), args) == 0;
}

bool makeTone(const QString& path, double seconds, int rate, int channels, const QStringList& extraOutputOptions,
              double frequency)
{
    const QString sine =
        QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3").arg(frequency).arg(rate).arg(seconds);
    return makeFromLavfi(path, sine,
                         QStringList{QStringLiteral("-ac"), QString::number(channels)} + extraOutputOptions);
}

QByteArray decodeWithFfmpeg(const QString& path, const QStringList& extraOutputOptions)
{
    QStringList args{QStringLiteral("-hide_banner"),
                     QStringLiteral("-loglevel"),
                     QStringLiteral("error"),
                     QStringLiteral("-i"),
                     path,
                     QStringLiteral("-f"),
                     QStringLiteral("s16le")};
    args += extraOutputOptions;
    args << QStringLiteral("-");
    QByteArray out;
    if (runProgram(QStringLiteral("ffmpeg"), args, &out) != 0)
        return {};
    return out;
}

QString buildBinDir()
{
    const QString named = qEnvironmentVariable("TONEMILL_BUILD_BIN");
    if (!named.isEmpty() || !QCoreApplication::instance())
        return named;
    // Run by hand: the build's bin/ is a sibling of the folder of the running
    // test or benchmark.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
}

QString sourceDir()
{
    return qEnvironmentVariable("TONEMILL_SOURCE_DIR");
}

QByteArray readFile(const QString& path)
{
    QByteArray content;
    // Empty when unreadable.
    static_cast<void>(platform::readRegularFile(path, std::numeric_limits<qint64>::max(), content));
    return content;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(platform::nativeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == ssize_t(bytes.size());
    return ::close(fd) == 0 && written;
}

bool writeShellScript(const QString& path, const QByteArray& commands)
{
    const QByteArray script = "#!/bin/sh\n" + commands;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(script) == script.size() &&
           file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

bool copyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    const QStringList names = QDir(from).entryList(QDir::Files);
    for (const QString& name : names)
        if (!QFile::copy(from + u'/' + name, to + u'/' + name))
            return false;
    return true;
}

} // namespace testsupport
