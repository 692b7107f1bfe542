#include "support/MeasuredRun.h"

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace bench {

namespace {

//! Keeps the bytes of a list of texts alive and hands out the char* array
//! (ending in a null pointer) that exec takes.
class CStrings {
public:
    explicit CStrings(const QStringList& texts)
    {
        for (const QString& text : texts)
            m_bytes.push_back(text.toLocal8Bit());
        for (QByteArray& bytes : m_bytes)
            m_pointers.push_back(bytes.data());
        m_pointers.push_back(nullptr);
    }
    char** data() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_bytes;
    std::vector<char*> m_pointers;
};

double seconds(const timeval& time)
{
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

} // namespace

MeasuredRun MeasuredRun::of(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    MeasuredRun result;
    // Output goes to files rather than pipes: nothing has to read while the
    // program runs, so the timing covers the program alone.
    QTemporaryFile out;
    QTemporaryFile err;
    if (!out.open() || !err.open())
        return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, int(out.handle()), 1);
    posix_spawn_file_actions_adddup2(&actions, int(err.handle()), 2);

    CStrings argv(QStringList{program} + arguments);
    CStrings envp(env.toStringList());
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const QByteArray path = program.toLocal8Bit();
    const int spawned = posix_spawnp(&pid, path.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            return result;
    }
    result.wallSeconds = double(timer.nsecsElapsed()) / 1e9;
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.peakKb = usage.ru_maxrss;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    out.seek(0);
    err.seek(0);
    result.out = out.readAll();
    result.err = err.readAll();
    return result;
}

} // namespace bench
