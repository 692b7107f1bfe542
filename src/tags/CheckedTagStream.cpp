#include "tags/CheckedTagStream.h"

#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tags {

namespace {

// Moving the audio behind a tag that grows or shrinks goes in pieces of this size.
constexpr long kMoveBytes = 1 << 20;

} // namespace

CheckedTagStream::CheckedTagStream(const QString& path) : m_name(platform::nativeName(path))
{
    m_fd = ::open(m_name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        fail(errno);
        return;
    }
    m_size = long(st.st_size);
}

CheckedTagStream::~CheckedTagStream()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

TagLib::FileName CheckedTagStream::name() const
{
    return m_name.constData();
}

bool CheckedTagStream::fail(int error)
{
    if (m_errno == 0)
        m_errno = error != 0 ? error : EIO;
    return false;
}

QString CheckedTagStream::error() const
{
    return m_errno == 0 ? QString() : platform::systemErrorText(m_errno);
}

bool CheckedTagStream::readAt(char* data, long bytes, long offset)
{
    while (bytes > 0) {
        const ssize_t n = ::pread(m_fd, data, std::size_t(bytes), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : EIO);
        data += n;
        bytes -= long(n);
        offset += long(n);
    }
    return true;
}

bool CheckedTagStream::writeAt(const char* data, long bytes, long offset)
{
    if (failed() || m_fd < 0)
        return false; // after a failure the file is left as it is
    while (bytes > 0) {
        const ssize_t n = ::pwrite(m_fd, data, std::size_t(bytes), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        data += n;
        bytes -= long(n);
        offset += long(n);
        m_size = std::max(m_size, offset);
    }
    return true;
}

TagLib::ByteVector CheckedTagStream::readBlock(unsigned long length)
{
    if (m_fd < 0 || length == 0 || m_position >= m_size)
        return {};
    const long wanted = std::min(long(length), m_size - m_position);
    TagLib::ByteVector block(static_cast<unsigned>(wanted), 0);
    ssize_t n = 0;
    do
        n = ::pread(m_fd, block.data(), std::size_t(wanted), off_t(m_position));
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        fail(errno);
        return {};
    }
    block.resize(static_cast<unsigned>(n));
    m_position += long(n);
    return block;
}

void CheckedTagStream::writeBlock(const TagLib::ByteVector& data)
{
    if (writeAt(data.data(), long(data.size()), m_position))
        m_position += long(data.size());
}

void CheckedTagStream::insert(const TagLib::ByteVector& data, unsigned long start, unsigned long replace)
{
    const long at = long(start);
    const long size = long(data.size());
    const long removed = long(replace);
    if (failed() || at > m_size)
        return;
    if (size < removed) {
        if (writeAt(data.data(), size, at))
            removeBlock(static_cast<unsigned long>(at + size), static_cast<unsigned long>(removed - size));
        return;
    }
    // The bytes after the replaced part move back by `grow`, the last piece
    // first, so nothing is overwritten before it has moved.
    const long grow = size - removed;
    if (grow > 0) {
        std::vector<char> piece(std::size_t(std::min(kMoveBytes, std::max(1L, m_size - at - removed))));
        long end = m_size;
        const long tail = at + removed;
        while (end > tail) {
            const long bytes = std::min(long(piece.size()), end - tail);
            if (!readAt(piece.data(), bytes, end - bytes) || !writeAt(piece.data(), bytes, end - bytes + grow))
                return;
            end -= bytes;
        }
    }
    if (writeAt(data.data(), size, at))
        m_position = at + size;
}

void CheckedTagStream::removeBlock(unsigned long start, unsigned long length)
{
    const long at = long(start);
    const long gone = std::min(long(length), m_size - at);
    if (failed() || gone <= 0)
        return;
    std::vector<char> piece(std::size_t(std::min(kMoveBytes, std::max(1L, m_size - at - gone))));
    for (long from = at + gone; from < m_size;) {
        const long bytes = std::min(long(piece.size()), m_size - from);
        if (!readAt(piece.data(), bytes, from) || !writeAt(piece.data(), bytes, from - gone))
            return;
        from += bytes;
    }
    truncate(m_size - gone);
}

void CheckedTagStream::seek(long offset, Position p)
{
    const long base = p == Beginning ? 0 : p == Current ? m_position : m_size;
    m_position = std::max(0L, base + offset);
}

void CheckedTagStream::truncate(long length)
{
    if (failed() || m_fd < 0)
        return;
    if (::ftruncate(m_fd, off_t(length)) != 0) {
        fail(errno);
        return;
    }
    m_size = length;
}

bool CheckedTagStream::finish()
{
    if (m_fd < 0 || failed())
        return false;
    // On disk, or the reason why not (a disk that delays its allocation
    // says "No space left on device" here).
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        return fail(errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return fail(errno);
    if (long(st.st_size) != m_size)
        return fail(EIO);
    return true;
}

} // namespace tags
