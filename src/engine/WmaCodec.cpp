#include "engine/WmaCodec.h"

#include <QtGlobal>
#include <cstring>

namespace engine {

namespace {

const AVCodec* findWmaEncoder()
{
    if (!qEnvironmentVariableIsEmpty(kNoWmaEncoderVariable))
        return nullptr;
    return avcodec_find_encoder(AV_CODEC_ID_WMAV2);
}

} // namespace

bool wmaEncoderAvailable()
{
    return findWmaEncoder() != nullptr;
}

AvCodecContextPtr openWmaCodec(int rate, int channels, std::int64_t bitrate, bool globalHeader)
{
    const AVCodec* codec = findWmaEncoder();
    if (!codec || rate <= 0 || channels <= 0 || bitrate <= 0)
        return nullptr;
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        return nullptr;
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = rate;
    av_channel_layout_default(&context->ch_layout, channels);
    context->bit_rate = bitrate;
    context->time_base = AVRational{1, rate};
    if (globalHeader)
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return nullptr;
    return context;
}

AvFramePtr makeWmaFrame(const AVCodecContext& codec)
{
    AvFramePtr frame(av_frame_alloc());
    if (!frame)
        return nullptr;
    frame->format = codec.sample_fmt;
    frame->sample_rate = codec.sample_rate;
    frame->nb_samples = codec.frame_size;
    if (av_channel_layout_copy(&frame->ch_layout, &codec.ch_layout) < 0 || av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    return frame;
}

bool fillWmaFrame(AVFrame& frame, const std::int16_t* interleaved, int frames, int channels)
{
    if (av_frame_make_writable(&frame) < 0)
        return false;
    for (int c = 0; c < channels; ++c) {
        auto* out = reinterpret_cast<float*>(frame.extended_data[c]);
        for (int i = 0; i < frames; ++i)
            out[i] = static_cast<float>(interleaved[i * channels + c]) / 32768.0f;
        std::memset(out + frames, 0, sizeof(float) * static_cast<std::size_t>(frame.nb_samples - frames));
    }
    return true;
}

} // namespace engine
