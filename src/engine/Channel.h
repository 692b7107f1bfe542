#pragma once

#include "engine/Bass.h"

#include <atomic>
#include <cstdint>

namespace engine {

//! A source of decoded PCM behind a stream or music handle. Data is
//! interleaved: signed 16-bit, or unsigned 8-bit when info().flags has
//! BASS_SAMPLE_8BITS. Positions and lengths are byte counts of that data.
class Channel {
public:
    virtual ~Channel() = default;

    virtual BASS_CHANNELINFO info() const = 0;

    //! Delivers up to `bytes` bytes into `out`; returns the count delivered,
    //! 0 once the end has been reached, -1 on a read error.
    virtual std::int64_t read(char* out, std::int64_t bytes) = 0;

    //! Total byte count of the data this channel delivers.
    virtual std::int64_t length() const = 0;

    //! Bytes delivered so far; equals length() once the end was reached.
    virtual std::int64_t position() const = 0;

    //! Starts delivery again from the beginning (looping, restart).
    virtual bool rewind() = 0;

    //! The byte position of the delivered data where the decoder first met
    //! damaged input (a packet it had to drop); -1 when it met none.
    virtual std::int64_t damagedAt() const { return -1; }

    //! Whether the input held samples that were not finite numbers (they
    //! were delivered as silence).
    virtual bool metInvalidSamples() const { return false; }

    //! Reading that may wait long (a disc drive) gives up soon after `flag`
    //! becomes true; `flag` must outlive the channel.
    virtual void setCancelFlag(const std::atomic<bool>* flag) { (void)flag; }
};

//! Receives a copy of every byte BASS_ChannelGetData delivers (an encoder).
class ChannelTap {
public:
    virtual ~ChannelTap() = default;
    virtual void deliver(const char* data, std::int64_t bytes) = 0;
};

} // namespace engine
