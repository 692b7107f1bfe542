#pragma once

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include <cstdint>
#include <vector>

struct AVFrame;
struct SwrContext;

namespace engine {

//! Turns decoded frames into the delivered PCM: interleaved signed 16-bit, or
//! unsigned 8-bit for 8-bit sources, or 32-bit float when asked for, at the
//! rate and channel layout of the first frame. Packed frames already in that form are handed out as they
//! are; planar 16-bit is interleaved directly; anything else goes through
//! libswresample (the same conversion ffmpeg itself applies).
//!
//! Floating-point input is made sound first, here and nowhere else: a
//! sample that is not a number or infinite becomes 0 (silence, where a cast
//! would make it full scale), and one beyond full scale is clipped to it. So
//! the encoder and the loudness meter get the same samples whatever the
//! output's sample format.
class SampleConverter {
public:
    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    //! Fixes the output format from the first frame (or from stream parameters
    //! when there is no frame at all).
    void setOutput(int rate, const AVChannelLayout& layout, AVSampleFormat sourceFormat, bool floatSamples = false);

    //! Converts one frame; `data`/`bytes` then describe the output, which stays
    //! valid until the next call or until the frame is released.
    //! Float samples of `frame` are made sound in place first.
    bool convert(AVFrame* frame, const char*& data, std::int64_t& bytes);

    //! Hands out what a resampler still holds at the end (only after a change
    //! of rate mid-stream); false when nothing is left.
    bool flush(const char*& data, std::int64_t& bytes);

    int rate() const { return m_rate; }
    int channels() const { return m_layout.nb_channels; }
    bool eightBit() const { return m_format == AV_SAMPLE_FMT_U8; }
    bool floatSamples() const { return m_format == AV_SAMPLE_FMT_FLT; }
    int blockAlign() const { return channels() * av_get_bytes_per_sample(m_format); }
    //! Whether a sample that was not a finite number was met (and silenced).
    bool metInvalidSamples() const { return m_invalidSamples; }

private:
    bool configureResampler(const AVFrame* frame);
    //! Silences samples that are not finite and clips the others to full scale.
    void makeSound(AVFrame* frame);

    int m_rate = 0;
    AVChannelLayout m_layout{};
    AVSampleFormat m_format = AV_SAMPLE_FMT_S16;
    SwrContext* m_swr = nullptr;
    int m_swrRate = 0;
    AVSampleFormat m_swrFormat = AV_SAMPLE_FMT_NONE;
    AVChannelLayout m_swrLayout{};
    std::vector<char> m_buffer; // reused for every converted frame
    bool m_invalidSamples = false;
};

} // namespace engine
