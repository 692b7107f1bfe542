#pragma once

#include <functional>
#include <vector>

namespace bench {

//! Wall seconds `work` took; `*ok` turns false (and stays so) when it failed.
double secondsOf(const std::function<bool()>& work, bool* ok);

//! The fewest wall seconds of `runs` runs of `work`; -1 when one failed.
double bestSeconds(int runs, const std::function<bool()>& work);

//! Processor seconds (user and system) of this process and its waited-for children.
double processCpuSeconds();

//! Processor seconds of this process's waited-for children alone.
double childrenCpuSeconds();

//! Processor milliseconds of the calling thread: on a busy machine it shows
//! the thread's own cost, which the wall clock mixes with waiting for a core.
double threadCpuMs();

//! The middle value (the mean of the two middle ones for an even count); 0 for none.
double median(std::vector<double> values);

} // namespace bench
