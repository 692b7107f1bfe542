#pragma once

#include "engine/Channel.h"
#include "engine/FrameDecoder.h"
#include "engine/MediaSource.h"
#include "engine/SampleConverter.h"

#include <memory>

namespace engine {

//! A stream decoded by FFmpeg: the first audio stream of a file, delivered as
//! interleaved 16-bit (or unsigned 8-bit, or 32-bit float when asked for) PCM
//! at the source's rate and channel count.
//!
//! Length: measured on first request by StreamLength (a separate pass that
//! reads headers or packet durations, decoding only where a codec leaves no
//! other exact way). Once the data ends, the length becomes the number of
//! bytes actually delivered, so a truncated file or a damaged packet can never
//! leave length and position disagreeing at the end.
//!
//! One decoded frame is always kept ready, so the end is known as soon as the
//! last byte has been delivered.
class FfmpegChannel : public Channel {
public:
    static std::shared_ptr<FfmpegChannel> open(const MediaRequest& request, bool floatSamples, int& error);

    BASS_CHANNELINFO info() const override;
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override;
    std::int64_t position() const override { return m_position; }
    bool rewind() override;
    std::int64_t damagedAt() const override { return m_damagedAt; }
    bool metInvalidSamples() const override { return m_converter.metInvalidSamples(); }

    //! Makes sample frame `frame` the next one delivered (the position
    //! becomes its byte offset), exactly: where the codec's timestamps are
    //! exact (PCM and lossless codecs) by seeking the container and dropping
    //! the samples before it from the frame that holds it, elsewhere by
    //! decoding from the start. False when the data ends before it.
    bool seekFrame(std::int64_t frame);

private:
    bool seekExactly(std::int64_t frame);
    bool discardTo(std::int64_t bytePosition);

    FfmpegChannel() = default;
    bool start(int& error);
    bool fillPending();

    MediaRequest m_request;
    bool m_float = false;
    std::unique_ptr<FrameDecoder> m_decoder;
    SampleConverter m_converter;
    BASS_CHANNELINFO m_info{};
    int m_frameSize = 0; // the decoder's fixed frame length, when it has one
    const char* m_pending = nullptr;
    std::int64_t m_pendingBytes = 0;
    bool m_ended = false;
    std::int64_t m_position = 0;
    mutable std::int64_t m_measured = -1; // bytes, -1 until measured
    mutable bool m_measuring = false;
    std::int64_t m_damagedAt = -1;
};

} // namespace engine
