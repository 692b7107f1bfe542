#pragma once

#include <QString>

namespace bench {

//! The machine's load as /proc/loadavg gives it (1, 5 and 15 minutes, the
//! running and all threads, the last process id); "?" when unreadable. A
//! figure measured on a loaded machine is printed with it.
QString loadAverage();

} // namespace bench
