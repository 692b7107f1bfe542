#pragma once

#include "engine/Channel.h"

#include <memory>
#include <vector>

struct SwrContext;

namespace engine {

//! Delivers another channel's data as signed 16-bit samples with at most two
//! channels, for encoders that take nothing else: more channels are mixed
//! down to stereo with the standard matrix for the channel count's usual
//! layout (centre and surrounds at -3 dB, the low-frequency channel left out,
//! scaled so that nothing clips), the way ffmpeg's "-ac 2" does; 8-bit samples
//! are widened. Rate, length and position follow the wrapped channel, counted
//! in bytes of the delivered data.
class DownmixChannel : public Channel {
public:
    //! The channel to deliver for `inner`: `inner` itself when it already is
    //! 16-bit mono or stereo, otherwise a DownmixChannel over it. Null when
    //! the conversion cannot be set up.
    static std::shared_ptr<Channel> wrap(std::shared_ptr<Channel> inner);

    ~DownmixChannel() override;
    DownmixChannel(const DownmixChannel&) = delete;
    DownmixChannel& operator=(const DownmixChannel&) = delete;

    BASS_CHANNELINFO info() const override;
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override;
    std::int64_t position() const override;
    bool rewind() override;
    bool metInvalidSamples() const override { return m_inner->metInvalidSamples(); }
    void setCancelFlag(const std::atomic<bool>* flag) override { m_inner->setCancelFlag(flag); }

private:
    explicit DownmixChannel(std::shared_ptr<Channel> inner);
    bool setUp();
    std::int64_t delivered(std::int64_t innerBytes) const;

    std::shared_ptr<Channel> m_inner;
    BASS_CHANNELINFO m_info{};
    int m_innerBlock = 0; // bytes per sample frame of the wrapped channel
    int m_block = 0;      // bytes per delivered sample frame
    SwrContext* m_swr = nullptr;
    std::vector<char> m_input; // wrapped data of the current read
    std::vector<char> m_carry; // part of a sample frame left from the last read
};

} // namespace engine
