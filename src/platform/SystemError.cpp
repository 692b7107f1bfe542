#include "platform/SystemError.h"

#include <cstring>

namespace platform {

std::string systemErrorString(int error)
{
    char buffer[256];
    // The GNU form: it returns the words, in `buffer` or in a constant string.
    return ::strerror_r(error, buffer, sizeof buffer);
}

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(systemErrorString(error));
}

std::string signalText(int signal)
{
    const char* words = ::sigdescr_np(signal);
    return words ? std::string(words) : "signal " + std::to_string(signal);
}

} // namespace platform
