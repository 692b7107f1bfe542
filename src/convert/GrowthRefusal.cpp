#include "convert/GrowthRefusal.h"

#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace convert {

namespace {

constexpr std::size_t kPage = 4096;

} // namespace

QString GrowthRefusal(const QString& path)
{
    const int fd = ::open(platform::nativeName(path).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return platform::systemErrorText(errno);
    int error = 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else {
        // A page of its own: a write into the last, partly used one could
        // succeed on a full disk.
        const off_t end = (st.st_size + off_t(kPage) - 1) / off_t(kPage) * off_t(kPage) + off_t(kPage);
        static const char zeros[kPage] = {};
        const ssize_t written = ::pwrite(fd, zeros, kPage, end);
        if (written < 0)
            error = errno;
        else if (written != ssize_t(kPage))
            error = ENOSPC;
        // The file is thrown away after this; its length only has to be right
        // for a file that is kept, which never comes here.
        static_cast<void>(::ftruncate(fd, st.st_size));
    }
    ::close(fd);
    return error != 0 ? platform::systemErrorText(error) : QString();
}

} // namespace convert
