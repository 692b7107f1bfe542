#pragma once

#include "engine/Channel.h"

#include <memory>
#include <vector>

struct SwrContext;

namespace engine {

//! Delivers another channel's signed 16-bit data at another sample rate
//! (libswresample), for encoders that do not take the source's rate. Length,
//! position and the damage mark are counted in bytes of the delivered data;
//! the length follows the wrapped channel's, scaled by the rates, and becomes
//! exact once the end was reached.
class ResampleChannel : public Channel {
public:
    //! Null when `inner` is not 16-bit or the resampler cannot be set up.
    static std::shared_ptr<ResampleChannel> wrap(std::shared_ptr<Channel> inner, int rate);

    ~ResampleChannel() override;
    ResampleChannel(const ResampleChannel&) = delete;
    ResampleChannel& operator=(const ResampleChannel&) = delete;

    BASS_CHANNELINFO info() const override { return m_info; }
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override;
    std::int64_t position() const override { return m_position; }
    bool rewind() override;
    std::int64_t damagedAt() const override;
    bool metInvalidSamples() const override { return m_inner->metInvalidSamples(); }
    void setCancelFlag(const std::atomic<bool>* flag) override { m_inner->setCancelFlag(flag); }

private:
    ResampleChannel(std::shared_ptr<Channel> inner, int rate);
    bool setUp();
    bool fillPending();
    std::int64_t scaled(std::int64_t innerBytes) const;

    std::shared_ptr<Channel> m_inner;
    BASS_CHANNELINFO m_info{};
    int m_inRate = 0;
    int m_outRate = 0;
    int m_block = 0; // bytes per sample frame, in and out
    SwrContext* m_swr = nullptr;
    std::vector<char> m_input;
    // Converted data not delivered yet: one batch is always kept ready, so
    // the end is known as soon as the last byte has been delivered.
    std::vector<char> m_pending;
    std::size_t m_pendingAt = 0;
    std::int64_t m_position = 0;
    bool m_innerEnded = false;
    bool m_ended = false;
};

//! Makes the decoding stream `handle` deliver its data at `rate` Hz from now
//! on (call it before the first read). False when the handle is unknown, the
//! stream is not 16-bit or the rate is not positive.
bool resampleDecodingStream(DWORD handle, DWORD rate);

} // namespace engine
