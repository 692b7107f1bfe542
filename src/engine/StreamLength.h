#pragma once

#include "engine/MediaSource.h"

#include <cstdint>

namespace engine {

//! Counts the sample frames a stream will deliver, in a separate pass over the
//! same bytes, choosing the cheapest exact method the format allows:
//! - PCM in WAV/W64/AIFF: the header's length, cut to the data the file holds;
//! - FLAC, Ogg, WavPack, TTA, Monkey's Audio: the exact total in the container
//!   (less the pre-skip of Ogg Opus);
//! - MP3 with an encoder tag: the frame count, priming and padding of the tag;
//! - AAC: a packet count (the MP4 index when there is one) times the decoder's frame length;
//! - other formats: a scan of packet durations, without decoding;
//! - codecs whose output does not follow packet durations (WMA, Musepack), or packets
//!   without durations: decoding and counting.
//! Every method applies the priming and padding trims the decoder applies.
//! Returns -1 when the bytes cannot be opened again.
class StreamLength {
public:
    //! `rate` is the sample rate the decoder reported (containers may leave it
    //! unknown until a frame was decoded); `decoderFrameSize` is the decoder's
    //! fixed frame length once known (0 if not).
    static std::int64_t frames(const MediaRequest& request, int rate, int decoderFrameSize);
};

} // namespace engine
