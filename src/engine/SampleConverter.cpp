#include "engine/SampleConverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace engine {

SampleConverter::~SampleConverter()
{
    swr_free(&m_swr);
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_uninit(&m_swrLayout);
}

void SampleConverter::setOutput(int rate, const AVChannelLayout& layout, AVSampleFormat sourceFormat, bool floatSamples)
{
    m_rate = rate;
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_copy(&m_layout, &layout);
    const AVSampleFormat packed = av_get_packed_sample_fmt(sourceFormat);
    if (floatSamples)
        m_format = AV_SAMPLE_FMT_FLT;
    else
        m_format = packed == AV_SAMPLE_FMT_U8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
}

namespace {

//! Silences the samples of `count` that are not finite and clips the others
//! to full scale; whether any was not finite.
template <typename Sample> bool makeSamplesSound(Sample* samples, std::size_t count)
{
    bool invalid = false;
    for (std::size_t i = 0; i < count; ++i) {
        Sample& value = samples[i];
        if (!std::isfinite(value)) {
            value = 0;
            invalid = true;
        } else {
            value = std::clamp<Sample>(value, -1, 1);
        }
    }
    return invalid;
}

} // namespace

void SampleConverter::makeSound(AVFrame* frame)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    if (packed != AV_SAMPLE_FMT_FLT && packed != AV_SAMPLE_FMT_DBL)
        return;
    // A frame whose buffers others share is copied before it is changed.
    if (av_frame_make_writable(frame) < 0)
        return;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int planes = planar ? frame->ch_layout.nb_channels : 1;
    const std::size_t count = static_cast<std::size_t>(frame->nb_samples) *
                              static_cast<std::size_t>(planar ? 1 : frame->ch_layout.nb_channels);
    for (int p = 0; p < planes; ++p) {
        const bool invalid = packed == AV_SAMPLE_FMT_FLT
                                 ? makeSamplesSound(reinterpret_cast<float*>(frame->extended_data[p]), count)
                                 : makeSamplesSound(reinterpret_cast<double*>(frame->extended_data[p]), count);
        m_invalidSamples = m_invalidSamples || invalid;
    }
}

bool SampleConverter::convert(AVFrame* frame, const char*& data, std::int64_t& bytes)
{
    makeSound(frame);
    const int channels = m_layout.nb_channels;
    const bool sameShape = frame->sample_rate == m_rate && frame->ch_layout.nb_channels == channels &&
                           av_channel_layout_compare(&frame->ch_layout, &m_layout) == 0;
    if (sameShape && frame->format == m_format) {
        data = reinterpret_cast<const char*>(frame->extended_data[0]);
        bytes = static_cast<std::int64_t>(frame->nb_samples) * blockAlign();
        return true;
    }
    if (sameShape && frame->format == AV_SAMPLE_FMT_S16P && m_format == AV_SAMPLE_FMT_S16) {
        const std::size_t count = static_cast<std::size_t>(frame->nb_samples);
        m_buffer.resize(count * static_cast<std::size_t>(channels) * 2);
        auto* out = reinterpret_cast<std::int16_t*>(m_buffer.data());
        for (int c = 0; c < channels; ++c) {
            const auto* in = reinterpret_cast<const std::int16_t*>(frame->extended_data[c]);
            for (std::size_t i = 0; i < count; ++i)
                out[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = in[i];
        }
        data = m_buffer.data();
        bytes = static_cast<std::int64_t>(m_buffer.size());
        return true;
    }
    if (!configureResampler(frame))
        return false;
    const int capacity = swr_get_out_samples(m_swr, frame->nb_samples);
    if (capacity < 0)
        return false;
    m_buffer.resize(static_cast<std::size_t>(capacity) * static_cast<std::size_t>(blockAlign()));
    auto* out = reinterpret_cast<std::uint8_t*>(m_buffer.data());
    const int done =
        swr_convert(m_swr, &out, capacity, const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    if (done < 0)
        return false;
    data = m_buffer.data();
    bytes = static_cast<std::int64_t>(done) * blockAlign();
    return true;
}

bool SampleConverter::flush(const char*& data, std::int64_t& bytes)
{
    if (!m_swr || m_swrRate == m_rate)
        return false;
    const int capacity = swr_get_out_samples(m_swr, 0);
    if (capacity <= 0)
        return false;
    m_buffer.resize(static_cast<std::size_t>(capacity) * static_cast<std::size_t>(blockAlign()));
    auto* out = reinterpret_cast<std::uint8_t*>(m_buffer.data());
    const int done = swr_convert(m_swr, &out, capacity, nullptr, 0);
    if (done <= 0)
        return false;
    data = m_buffer.data();
    bytes = static_cast<std::int64_t>(done) * blockAlign();
    return true;
}

bool SampleConverter::configureResampler(const AVFrame* frame)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    if (m_swr && m_swrRate == frame->sample_rate && m_swrFormat == format &&
        av_channel_layout_compare(&m_swrLayout, &frame->ch_layout) == 0)
        return true;
    swr_free(&m_swr);
    if (swr_alloc_set_opts2(&m_swr, &m_layout, m_format, m_rate, const_cast<AVChannelLayout*>(&frame->ch_layout),
                            format, frame->sample_rate, 0, nullptr) < 0 ||
        swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    m_swrRate = frame->sample_rate;
    m_swrFormat = format;
    av_channel_layout_uninit(&m_swrLayout);
    av_channel_layout_copy(&m_swrLayout, &frame->ch_layout);
    return true;
}

} // namespace engine
