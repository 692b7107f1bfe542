#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct AVIOContext;

namespace engine {

//! Where a stream's bytes come from: a window of a file (offset, length; length
//! 0 = to the end) or a block of the caller's memory. Kept by a channel so it
//! can open the same bytes again (for a restart or for measuring the length).
struct MediaRequest {
    bool fromMemory = false;
    std::string path;             // UTF-8 path when !fromMemory
    const void* memory = nullptr; // caller-owned bytes when fromMemory
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

//! The bytes of a MediaRequest as a libavformat I/O context. Files are opened by
//! the engine itself (never through libavformat's protocols), so a path is
//! only ever a path: "http:…" or "concat:…" in a name means nothing special.
class MediaSource {
public:
    //! Opens the source; on failure returns null with `error` set
    //! (BASS_ERROR_FILEOPEN for a missing, unreadable or non-regular file).
    static std::unique_ptr<MediaSource> open(const MediaRequest& request, int& error);
    ~MediaSource();

    MediaSource(const MediaSource&) = delete;
    MediaSource& operator=(const MediaSource&) = delete;

    AVIOContext* io() const { return m_io; }
    std::int64_t size() const { return m_size; }

    //! Reads up to `bytes` bytes at `position` of the window; returns the count.
    std::int64_t readAt(std::int64_t position, void* out, std::int64_t bytes) const;

private:
    MediaSource() = default;
    static int readPacket(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence);

    int m_fd = -1;
    const std::uint8_t* m_memory = nullptr;
    std::int64_t m_start = 0; // offset of the window in the file
    std::int64_t m_size = 0;
    std::int64_t m_position = 0;
    AVIOContext* m_io = nullptr;
};

} // namespace engine
