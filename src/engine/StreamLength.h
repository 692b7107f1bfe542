#pragma once

#include "engine/MediaSource.h"

#include <cstdint>

namespace engine {

//! Counts the sample frames a stream will deliver, in a separate pass over the
//! same bytes, choosing the cheapest exact method the format allows:
//! - PCM in WAV/W64/AIFF: the header's length, cut to the data the file holds;
//! - FLAC, Ogg, WavPack, TTA, Monkey's Audio: the exact total in the container;
//! - AAC: a packet count times the decoder's frame length;
//! - other formats: a scan of packet durations, without decoding;
//! - codecs whose output does not follow packet durations (WMA), or packets
//!   without durations: decoding and counting.
//! Every method applies the priming and padding trims the decoder applies.
//! Returns -1 when the bytes cannot be opened again.
class StreamLength {
public:
    //! `decoderFrameSize` is the decoder's fixed frame length once known (0 if not).
    static std::int64_t frames(const MediaSpec& spec, int decoderFrameSize);
};

} // namespace engine
