#pragma once

#include "engine/MediaFile.h"

#include <memory>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace engine {

//! Decodes the chosen audio stream of a MediaFile frame by frame, the way
//! libavcodec delivers it (leading priming samples and trailing padding that
//! the container reports are dropped by the decoder itself). Damaged packets
//! are skipped; a demuxer that stops making progress ends the stream.
class FrameDecoder {
public:
    static std::unique_ptr<FrameDecoder> open(std::unique_ptr<MediaFile> media, int& error);
    ~FrameDecoder();

    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    //! The next frame with samples, valid until the next call; null at the end.
    AVFrame* next();

    //! Whether the decoder rejected any packet so far (since the last seek).
    bool sawErrors() const { return m_errors > 0; }
    //! Forgets the packets rejected so far.
    void forgetErrors() { m_errors = 0; }

    //! Moves the demuxer to a packet at or before sample frame `frame` (at
    //! `rate`) and empties the decoder; false when the container cannot seek.
    bool seek(std::int64_t frame, int rate);
    //! The sample frame at `rate` where `frame` begins, from its timestamp;
    //! -1 when it has none.
    std::int64_t frameStart(const AVFrame* frame, int rate) const;

    AVCodecContext* codec() const { return m_codec; }
    const MediaFile& media() const { return *m_media; }

private:
    FrameDecoder() = default;
    bool readPacket(); // the next packet of the stream into m_packet
    bool feed();       // sends one packet (or the end) to the decoder

    std::unique_ptr<MediaFile> m_media;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    bool m_held = false; // m_packet holds a packet read before the decoder opened
    bool m_draining = false;
    bool m_finished = false;
    long m_errors = 0;
    long m_fruitless = 0; // packets read since the last frame with samples
};

} // namespace engine
