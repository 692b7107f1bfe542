#pragma once

namespace bench {

//! A kB field of this process's /proc status, such as "VmHWM" (the peak
//! resident memory) or "VmRSS"; -1 when it cannot be read.
long ownMemoryKb(const char* field);

//! The peak resident memory of the largest waited-for child so far, in kB.
long childrenPeakKb();

} // namespace bench
