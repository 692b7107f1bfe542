#include "engine/FfmpegEncoder.h"

#include "engine/Bass.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

// Frames handed to an encoder that takes any length.
constexpr int kVariableFrameSize = 4096;

bool supports(const AVSampleFormat* formats, AVSampleFormat wanted)
{
    for (; formats && *formats != AV_SAMPLE_FMT_NONE; ++formats)
        if (*formats == wanted)
            return true;
    return false;
}

//! The encoder's sample format closest to the input: more than 16 bits when
//! they are to be kept, float for float input, otherwise 16 bits.
AVSampleFormat chooseSampleFormat(const AVCodec& codec, const EncoderRequest& wanted)
{
    if (!codec.sample_fmts)
        return wanted.input;
    // In order of preference, each with whether it is wanted at all. A fixed
    // table: GCC 12 at -O3 sees a false out-of-bounds write in a vector grown
    // by insert.
    const bool deep = wanted.bitsPerSample > 16;
    const bool floating = wanted.input == AV_SAMPLE_FMT_FLT;
    const struct {
        bool wanted;
        AVSampleFormat format;
    } order[] = {
        {deep, AV_SAMPLE_FMT_S32},      {deep, AV_SAMPLE_FMT_S32P}, {floating, AV_SAMPLE_FMT_FLT},
        {floating, AV_SAMPLE_FMT_FLTP}, {true, AV_SAMPLE_FMT_S16},  {true, AV_SAMPLE_FMT_S16P},
        {true, AV_SAMPLE_FMT_FLT},      {true, AV_SAMPLE_FMT_FLTP}, {true, AV_SAMPLE_FMT_S32},
        {true, AV_SAMPLE_FMT_S32P},
    };
    for (const auto& candidate : order)
        if (candidate.wanted && supports(codec.sample_fmts, candidate.format))
            return candidate.format;
    return codec.sample_fmts[0];
}

//! `wanted` when the encoder takes it, else the lowest rate above it that it
//! takes, else its highest.
int chooseRate(const AVCodec& codec, int wanted)
{
    if (!codec.supported_samplerates)
        return wanted;
    int above = 0;
    int highest = 0;
    for (const int* rate = codec.supported_samplerates; *rate; ++rate) {
        if (*rate == wanted)
            return wanted;
        if (*rate > wanted && (above == 0 || *rate < above))
            above = *rate;
        highest = std::max(highest, *rate);
    }
    return above ? above : highest;
}

//! The usual layout of `channels` channels when the encoder takes it, else
//! one of its layouts with as many channels (5.1 with back instead of side
//! speakers, say), else stereo, which the resampler mixes down to.
void chooseLayout(const AVCodec& codec, int channels, AVChannelLayout& layout)
{
    av_channel_layout_default(&layout, channels);
    if (!codec.ch_layouts)
        return;
    const AVChannelLayout* sameCount = nullptr;
    for (const AVChannelLayout* l = codec.ch_layouts; l->nb_channels != 0; ++l) {
        if (av_channel_layout_compare(l, &layout) == 0)
            return;
        if (l->nb_channels == channels && !sameCount)
            sameCount = l;
    }
    av_channel_layout_uninit(&layout);
    if (sameCount)
        av_channel_layout_copy(&layout, sameCount);
    else
        av_channel_layout_default(&layout, std::min(channels, 2));
}

} // namespace

std::unique_ptr<FfmpegEncoder> FfmpegEncoder::open(const EncoderRequest& wanted, const std::string& path,
                                                   int* errorCode)
{
    auto setError = [errorCode](int code) {
        if (errorCode)
            *errorCode = code;
        return nullptr;
    };
    if (wanted.rate <= 0 || wanted.channels <= 0 ||
        (wanted.input != AV_SAMPLE_FMT_U8 && wanted.input != AV_SAMPLE_FMT_S16 && wanted.input != AV_SAMPLE_FMT_FLT))
        return setError(BASS_ERROR_FORMAT);
    std::unique_ptr<FfmpegEncoder> encoder(new FfmpegEncoder);
    if (avformat_alloc_output_context2(&encoder->m_format, nullptr, wanted.container.c_str(), nullptr) < 0 ||
        !encoder->m_format)
        return setError(BASS_ERROR_NOTAVAIL);
    if (const int code = encoder->openCodec(wanted); code != BASS_OK)
        return setError(code);
    if (!encoder->openResampler(wanted))
        return setError(BASS_ERROR_MEM);

    encoder->m_stream = avformat_new_stream(encoder->m_format, nullptr);
    if (!encoder->m_stream || avcodec_parameters_from_context(encoder->m_stream->codecpar, encoder->m_codec.get()) < 0)
        return setError(BASS_ERROR_MEM);
    encoder->m_stream->time_base = encoder->m_codec->time_base;

    // The "file:" prefix keeps a name such as "a:b.flac" from being read as a
    // network protocol.
    const std::string url = "file:" + path;
    if (avio_open(&encoder->m_format->pb, url.c_str(), AVIO_FLAG_WRITE) < 0)
        return setError(BASS_ERROR_CREATE);
    return encoder;
}

int FfmpegEncoder::openCodec(const EncoderRequest& wanted)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(wanted.codec.c_str());
    if (!codec || codec->type != AVMEDIA_TYPE_AUDIO)
        return BASS_ERROR_NOTAVAIL;
    m_codec.reset(avcodec_alloc_context3(codec));
    if (!m_codec)
        return BASS_ERROR_MEM;
    AVCodecContext& c = *m_codec;
    c.sample_fmt = chooseSampleFormat(*codec, wanted);
    c.sample_rate = chooseRate(*codec, wanted.outputRate > 0 ? wanted.outputRate : wanted.rate);
    chooseLayout(*codec, wanted.channels, c.ch_layout);
    c.time_base = AVRational{1, c.sample_rate};
    if (wanted.bitrate > 0)
        c.bit_rate = wanted.bitrate;
    if (wanted.compressionLevel >= 0)
        c.compression_level = wanted.compressionLevel;
    if (c.sample_fmt == AV_SAMPLE_FMT_S32 || c.sample_fmt == AV_SAMPLE_FMT_S32P)
        c.bits_per_raw_sample = 24; // 24-bit samples in the high bits
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* options = nullptr;
    for (const auto& [name, value] : wanted.options)
        av_dict_set(&options, name.c_str(), value.c_str(), 0);
    const int rc = avcodec_open2(&c, codec, &options);
    // An option the encoder did not take is a request it cannot honour.
    const bool unused = av_dict_count(options) > 0;
    av_dict_free(&options);
    if (rc < 0 || unused)
        return BASS_ERROR_FORMAT;

    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_frame || !m_packet)
        return BASS_ERROR_MEM;
    m_frame->format = c.sample_fmt;
    m_frame->sample_rate = c.sample_rate;
    m_frame->nb_samples = c.frame_size > 0 ? c.frame_size : kVariableFrameSize;
    if (av_channel_layout_copy(&m_frame->ch_layout, &c.ch_layout) < 0 || av_frame_get_buffer(m_frame.get(), 0) < 0)
        return BASS_ERROR_MEM;
    return BASS_OK;
}

bool FfmpegEncoder::openResampler(const EncoderRequest& wanted)
{
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, wanted.channels);
    const int rc = swr_alloc_set_opts2(&m_swr, &m_codec->ch_layout, m_codec->sample_fmt, m_codec->sample_rate, &layout,
                                       wanted.input, wanted.rate, 0, nullptr);
    av_channel_layout_uninit(&layout);
    if (rc < 0 || swr_init(m_swr) < 0)
        return false;
    m_fifo = av_audio_fifo_alloc(m_codec->sample_fmt, m_codec->ch_layout.nb_channels, m_frame->nb_samples);
    m_inputBlock = wanted.channels * av_get_bytes_per_sample(wanted.input);
    if (!m_fifo)
        return false;
    if (wanted.leadingSilenceFrame) {
        m_leadingSilence = m_frame->nb_samples;
        if (av_samples_set_silence(m_frame->extended_data, 0, m_leadingSilence, m_codec->ch_layout.nb_channels,
                                   m_codec->sample_fmt) < 0 ||
            av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_frame->extended_data), m_leadingSilence) <
                m_leadingSilence)
            return false;
    }
    return true;
}

FfmpegEncoder::~FfmpegEncoder()
{
    if (m_format) {
        if (m_format->pb)
            avio_closep(&m_format->pb);
        avformat_free_context(m_format);
    }
    swr_free(&m_swr);
    if (m_fifo)
        av_audio_fifo_free(m_fifo);
    if (m_converted)
        av_freep(&m_converted[0]);
    av_freep(&m_converted);
}

bool FfmpegEncoder::fail(int code)
{
    m_failed = true;
    m_errorCode = code;
    return false;
}

bool FfmpegEncoder::setTag(const std::string& name, const std::string& value)
{
    if (m_headerWritten || m_closed)
        return false;
    return av_dict_set(&m_format->metadata, name.c_str(), value.c_str(), 0) >= 0;
}

bool FfmpegEncoder::outputFailed()
{
    // The file layer keeps its first write error: a full disk shows here.
    if (!m_format->pb || m_format->pb->error >= 0)
        return false;
    if (m_systemError == 0)
        m_systemError = AVUNERROR(m_format->pb->error);
    return true;
}

bool FfmpegEncoder::endTags()
{
    if (m_headerWritten)
        return !m_failed;
    m_headerWritten = true;
    AVDictionary* options = nullptr;
    // MP4 keeps its edit list (the priming and padding trimmed) in the movie's
    // time scale, by default milliseconds: at the sample rate it is exact,
    // where milliseconds cut up to 43 samples off a track's end.
    if (std::strcmp(m_format->oformat->name, "ipod") == 0 || std::strcmp(m_format->oformat->name, "mp4") == 0)
        av_dict_set_int(&options, "movie_timescale", m_codec->sample_rate, 0);
    const int written = avformat_write_header(m_format, &options);
    av_dict_free(&options);
    if (written < 0 || outputFailed())
        return fail(BASS_ERROR_CREATE);
    return true;
}

bool FfmpegEncoder::write(const char* data, std::int64_t bytes)
{
    if (m_closed || m_failed)
        return false;
    if (!endTags())
        return false;
    if (bytes <= 0)
        return true;
    const auto block = static_cast<std::size_t>(m_inputBlock);
    if (!m_carry.empty()) {
        // Complete the sample frame begun by the last call.
        const std::size_t take = std::min(block - m_carry.size(), static_cast<std::size_t>(bytes));
        m_carry.insert(m_carry.end(), data, data + take);
        data += take;
        bytes -= static_cast<std::int64_t>(take);
        if (m_carry.size() < block)
            return true;
        if (!convert(reinterpret_cast<const std::uint8_t*>(m_carry.data()), 1))
            return false;
        m_carry.clear();
    }
    const std::int64_t frames = bytes / m_inputBlock;
    if (frames > 0 && !convert(reinterpret_cast<const std::uint8_t*>(data), static_cast<int>(frames)))
        return false;
    const std::int64_t rest = bytes - frames * m_inputBlock;
    m_carry.assign(data + (bytes - rest), data + bytes);
    return encodeFrames(false);
}

//! Converts `frames` input sample frames (none: what the resampler still
//! holds) into the FIFO.
bool FfmpegEncoder::convert(const std::uint8_t* data, int frames)
{
    const int capacity = swr_get_out_samples(m_swr, frames);
    if (capacity < 0)
        return fail(BASS_ERROR_UNKNOWN);
    if (capacity > m_convertedCapacity) {
        if (m_converted)
            av_freep(&m_converted[0]);
        av_freep(&m_converted);
        if (av_samples_alloc_array_and_samples(&m_converted, nullptr, m_codec->ch_layout.nb_channels, capacity,
                                               m_codec->sample_fmt, 0) < 0)
            return fail(BASS_ERROR_MEM);
        m_convertedCapacity = capacity;
    }
    const std::uint8_t* in[1] = {data};
    const int done = swr_convert(m_swr, m_converted, capacity, data ? in : nullptr, frames);
    if (done < 0)
        return fail(BASS_ERROR_UNKNOWN);
    if (done > 0 && av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_converted), done) < done)
        return fail(BASS_ERROR_MEM);
    return true;
}

bool FfmpegEncoder::encodeFrames(bool final)
{
    const int frameSize = m_frame->nb_samples;
    const bool shortLastFrame = (m_codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
    while (av_audio_fifo_size(m_fifo) >= frameSize || (final && av_audio_fifo_size(m_fifo) > 0)) {
        if (av_frame_make_writable(m_frame.get()) < 0)
            return fail(BASS_ERROR_MEM);
        const int frames = std::min(av_audio_fifo_size(m_fifo), frameSize);
        if (av_audio_fifo_read(m_fifo, reinterpret_cast<void**>(m_frame->extended_data), frames) < frames)
            return fail(BASS_ERROR_UNKNOWN);
        m_framesRead += frames;
        if (frames < frameSize) {
            if (shortLastFrame)
                m_frame->nb_samples = frames;
            else
                av_samples_set_silence(m_frame->extended_data, frames, frameSize - frames,
                                       m_codec->ch_layout.nb_channels, m_codec->sample_fmt);
        }
        m_frame->pts = m_samplesSent;
        m_samplesSent += m_frame->nb_samples;
        const bool sent = avcodec_send_frame(m_codec.get(), m_frame.get()) >= 0;
        m_frame->nb_samples = frameSize;
        if (!sent || !drainPackets())
            return fail(m_errorCode ? m_errorCode : BASS_ERROR_UNKNOWN);
    }
    return true;
}

bool FfmpegEncoder::drainPackets()
{
    for (;;) {
        const int rc = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return false;
        ++m_packets;
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        const bool written = av_interleaved_write_frame(m_format, m_packet.get()) >= 0;
        if (outputFailed() || !written) {
            m_errorCode = BASS_ERROR_CREATE;
            return false;
        }
    }
}

EncoderPadding FfmpegEncoder::padding() const
{
    EncoderPadding result;
    result.priming = m_codec->initial_padding;
    result.samples = std::max<std::int64_t>(0, m_framesRead - m_leadingSilence);
    // Codecs of fixed frames decode every frame whole: what lies past the
    // audio in the last one is padding.
    if (m_codec->frame_size > 0)
        result.padding = std::max<std::int64_t>(0, m_packets * m_codec->frame_size - result.priming - result.samples -
                                                       m_leadingSilence);
    return result;
}

bool FfmpegEncoder::close()
{
    if (m_closed)
        return !m_failed;
    // A partial sample frame left over cannot be encoded: it is dropped. What
    // the resampler holds back (its filter delay) is flushed.
    bool ok = !m_failed && endTags() && convert(nullptr, 0) && encodeFrames(true);
    if (ok) {
        ok = avcodec_send_frame(m_codec.get(), nullptr) >= 0 && drainPackets();
        ok = av_write_trailer(m_format) >= 0 && ok;
    }
    m_closed = true;
    if (m_format->pb) {
        avio_flush(m_format->pb);
        if (outputFailed())
            ok = false;
    }
    if (avio_closep(&m_format->pb) < 0)
        ok = false;
    if (!ok && !m_failed)
        fail(m_errorCode ? m_errorCode : BASS_ERROR_CREATE);
    return ok;
}

} // namespace engine
