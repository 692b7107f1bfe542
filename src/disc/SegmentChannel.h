#pragma once

#include "disc/DiscLayout.h"
#include "engine/Channel.h"
#include "engine/FfmpegChannel.h"

#include <memory>

namespace disc {

//! One track of a CUE sheet cut from an audio file: exactly the sample
//! frames of its span, decoded by FFmpeg as the whole file would be.
class SegmentChannel : public engine::Channel {
public:
    static std::shared_ptr<SegmentChannel> open(const DiscTrackSpan& span, bool floatSamples, int& error);

    BASS_CHANNELINFO info() const override { return m_inner->info(); }
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override;
    std::int64_t position() const override { return m_inner->position() - m_start; }
    bool rewind() override;
    std::int64_t damagedAt() const override;
    bool metInvalidSamples() const override { return m_inner->metInvalidSamples(); }

private:
    SegmentChannel() = default;

    std::shared_ptr<engine::FfmpegChannel> m_inner;
    std::int64_t m_first = 0; // sample frames
    std::int64_t m_start = 0; // bytes of the file's data before the span
    std::int64_t m_end = 0;   // bytes of the file's data up to the span's end
    bool m_cutShort = false;  // the file's data ended before the span did
};

} // namespace disc
