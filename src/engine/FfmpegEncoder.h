#pragma once

#include "engine/AvPointers.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct AVAudioFifo;
struct AVFormatContext;
struct AVStream;
struct SwrContext;

namespace engine {

//! What an FfmpegEncoder makes, and the PCM it is fed.
struct EncoderRequest {
    std::string codec;     //!< libavcodec encoder name: "flac", "libopus", "aac", "wmav2"
    std::string container; //!< libavformat muxer name: "flac", "opus", "ipod", "asf"
    int rate = 0;          //!< sample rate of the PCM written
    int channels = 0;
    //! Interleaved sample format of the PCM written: U8, S16 or FLT.
    AVSampleFormat input = AV_SAMPLE_FMT_S16;
    //! Rate of the encoded audio; 0 keeps the input's rate, or takes the
    //! nearest one above it that the encoder accepts.
    int outputRate = 0;
    std::int64_t bitrate = 0;                                 //!< bits per second; 0: the encoder's default
    int compressionLevel = -1;                                //!< -1: the encoder's default
    int bitsPerSample = 16;                                   //!< lossless encoders: above 16 keeps 24 bits
    std::vector<std::pair<std::string, std::string>> options; //!< the encoder's own options
    //! Feeds the encoder one frame of silence before the audio. The WMA
    //! decoder drops the first frame it decodes, and WMA files have no field
    //! that says so: without this frame the first 2048 samples were lost.
    bool leadingSilenceFrame = false;
};

//! The samples an encoder added around the audio, as gapless players trim
//! them: `priming` before it, `padding` after it, `samples` of audio between
//! (all at the encoder's rate).
struct EncoderPadding {
    std::int64_t priming = 0;
    std::int64_t padding = 0;
    std::int64_t samples = 0;
};

//! Encodes interleaved PCM with one of FFmpeg's encoders into a file, through
//! libswresample for the encoder's sample format and rate. Tags go into the
//! file header, so they can only be set before the first audio is written
//! (or before endTags()).
class FfmpegEncoder {
public:
    //! Creates `path` (UTF-8; an existing file is truncated). Returns nullptr
    //! and sets `errorCode` to BASS_ERROR_NOTAVAIL (no such encoder),
    //! BASS_ERROR_FORMAT (format, rate or options refused by the encoder) or
    //! BASS_ERROR_CREATE (the file cannot be created).
    [[nodiscard]] static std::unique_ptr<FfmpegEncoder> open(const EncoderRequest& wanted, const std::string& path,
                                                             int* errorCode);
    ~FfmpegEncoder();

    FfmpegEncoder(const FfmpegEncoder&) = delete;
    FfmpegEncoder& operator=(const FfmpegEncoder&) = delete;

    //! Sets a tag by the container's name for it. False once the header was written.
    bool setTag(const std::string& name, const std::string& value);
    bool tagsOpen() const { return !m_headerWritten; }

    //! Ends the tags: writes the file header.
    bool endTags();

    //! Encodes any number of bytes; a sample frame split between calls is kept.
    [[nodiscard]] bool write(const char* data, std::int64_t bytes);

    //! Encodes what is left, writes the trailer and closes the file. Encoders
    //! that work in whole frames only get the last one completed with silence.
    [[nodiscard]] bool close();

    int errorCode() const { return m_errorCode; }
    //! The system's error number when writing the file failed (ENOSPC, EIO…), else 0.
    int systemError() const { return m_systemError; }
    //! The encoder as opened (its sample format, rate, frame size).
    const AVCodecContext& codec() const { return *m_codec; }
    //! After close(): what the encoder added around the audio.
    EncoderPadding padding() const;

private:
    FfmpegEncoder() = default;
    int openCodec(const EncoderRequest& wanted);
    bool openResampler(const EncoderRequest& wanted);
    bool convert(const std::uint8_t* data, int frames);
    bool encodeFrames(bool final);
    bool drainPackets();
    bool fail(int code);
    bool outputFailed();

    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    AvCodecContextPtr m_codec;
    AvFramePtr m_frame;
    AvPacketPtr m_packet;
    SwrContext* m_swr = nullptr;
    AVAudioFifo* m_fifo = nullptr;        // converted samples not yet encoded
    std::uint8_t** m_converted = nullptr; // swr output planes
    int m_convertedCapacity = 0;          // in sample frames
    int m_inputBlock = 0;                 // bytes per input sample frame
    std::vector<char> m_carry;            // part of a sample frame left from the last write
    std::int64_t m_samplesSent = 0;       // per channel, at the encoder's rate
    std::int64_t m_framesRead = 0;        // sample frames taken from the FIFO, leading silence included
    std::int64_t m_packets = 0;           // packets written
    int m_leadingSilence = 0;             // sample frames of silence fed before the audio
    bool m_headerWritten = false;
    bool m_closed = false;
    bool m_failed = false;
    int m_errorCode = 0;
    int m_systemError = 0;
};

//! The system's error number (ENOSPC, EIO…) behind the calling thread's last
//! write or close of a file encoder (WMA, FLAC, Opus, AAC), 0 when writing the
//! file did not fail.
int lastEncoderSystemError();

//! What the calling thread's last file encoder close found the encoder added
//! around the audio (zeros when the close failed).
EncoderPadding lastEncoderPadding();

} // namespace engine
