#include "support/Timing.h"

#include <QElapsedTimer>
#include <algorithm>
#include <ctime>
#include <sys/resource.h>

namespace bench {

namespace {

double cpuSecondsOf(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

double secondsOf(const std::function<bool()>& work, bool* ok)
{
    QElapsedTimer timer;
    timer.start();
    *ok = work() && *ok;
    return double(timer.nsecsElapsed()) / 1e9;
}

double bestSeconds(int runs, const std::function<bool()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        bool ok = true;
        best = std::min(best, secondsOf(work, &ok));
        if (!ok)
            return -1;
    }
    return best;
}

double processCpuSeconds()
{
    return cpuSecondsOf(RUSAGE_SELF) + cpuSecondsOf(RUSAGE_CHILDREN);
}

double childrenCpuSeconds()
{
    return cpuSecondsOf(RUSAGE_CHILDREN);
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace bench
