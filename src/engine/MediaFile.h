#pragma once

#include "engine/Bass.h"
#include "engine/MediaSource.h"

#include <memory>

struct AVFormatContext;
struct AVStream;

namespace engine {

//! An opened container with its first audio stream chosen: libavformat over a
//! MediaSource, probing only the containers the engine reads, and only when
//! the stream's codec is readable now (built in, or its format module loaded).
class MediaFile {
public:
    //! Returns null with `error` set: BASS_ERROR_FILEOPEN (cannot read the
    //! file), BASS_ERROR_FORMAT (unknown or refused container, no audio
    //! stream, codec without decoder or module), BASS_ERROR_MEM.
    static std::unique_ptr<MediaFile> open(const MediaRequest& request, int& error);
    ~MediaFile();

    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    AVFormatContext* format() const { return m_format; }
    AVStream* stream() const { return m_stream; }
    const MediaSource& source() const { return *m_source; }
    //! Byte offset of the source where the container's header ended.
    std::int64_t headerEnd() const { return m_headerEnd; }
    //! Format module that provides the codec, 0 for the engine's own formats.
    HPLUGIN module() const { return m_module; }

private:
    MediaFile() = default;

    std::unique_ptr<MediaSource> m_source;
    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    std::int64_t m_headerEnd = 0;
    HPLUGIN m_module = 0;
};

} // namespace engine
