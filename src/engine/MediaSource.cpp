#include "engine/MediaSource.h"

#include "engine/Bass.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {
constexpr int kIoBufferSize = 64 * 1024;
}

std::unique_ptr<MediaSource> MediaSource::open(const MediaRequest& request, int& error)
{
    std::unique_ptr<MediaSource> source(new MediaSource);
    if (request.offset < 0 || request.length < 0) {
        error = BASS_ERROR_ILLPARAM;
        return nullptr;
    }
    if (request.fromMemory) {
        if (!request.memory || request.length <= 0) {
            error = BASS_ERROR_ILLPARAM;
            return nullptr;
        }
        source->m_memory = static_cast<const std::uint8_t*>(request.memory) + request.offset;
        source->m_size = request.length;
    } else {
        // Non-blocking, so a FIFO or a device put where a file was cannot
        // hold the open up; only a regular file is read, and reads from one
        // never block.
        const int fd = ::open(request.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            error = BASS_ERROR_FILEOPEN;
            return nullptr;
        }
        source->m_fd = fd;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            error = BASS_ERROR_FILEOPEN;
            return nullptr;
        }
        const std::int64_t fileSize = st.st_size;
        source->m_start = std::min<std::int64_t>(request.offset, fileSize);
        const std::int64_t rest = fileSize - source->m_start;
        source->m_size = request.length > 0 ? std::min(request.length, rest) : rest;
    }

    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    source->m_io = avio_alloc_context(buffer, kIoBufferSize, 0, source.get(), &MediaSource::readPacket, nullptr,
                                      &MediaSource::seek);
    if (!source->m_io) {
        av_free(buffer);
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    error = BASS_OK;
    return source;
}

MediaSource::~MediaSource()
{
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

std::int64_t MediaSource::readAt(std::int64_t position, void* out, std::int64_t bytes) const
{
    if (position < 0 || position >= m_size || bytes <= 0)
        return 0;
    bytes = std::min(bytes, m_size - position);
    if (m_memory) {
        std::memcpy(out, m_memory + position, static_cast<std::size_t>(bytes));
        return bytes;
    }
    std::int64_t done = 0;
    while (done < bytes) {
        const ssize_t got = ::pread(m_fd, static_cast<char*>(out) + done, static_cast<std::size_t>(bytes - done),
                                    static_cast<off_t>(m_start + position + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

int MediaSource::readPacket(void* opaque, std::uint8_t* buffer, int size)
{
    auto* self = static_cast<MediaSource*>(opaque);
    const std::int64_t got = self->readAt(self->m_position, buffer, size);
    if (got <= 0)
        return AVERROR_EOF;
    self->m_position += got;
    return static_cast<int>(got);
}

std::int64_t MediaSource::seek(void* opaque, std::int64_t offset, int whence)
{
    auto* self = static_cast<MediaSource*>(opaque);
    std::int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return self->m_size;
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = self->m_position + offset;
        break;
    case SEEK_END:
        target = self->m_size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (target < 0)
        return AVERROR(EINVAL);
    self->m_position = target;
    return target;
}

} // namespace engine
