#include "engine/FrameDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace engine {

namespace {
// A stream that yields this many packets in a row without a single sample, or
// this many read retries, is treated as ended rather than read forever.
constexpr long kMaxFruitlessPackets = 20000;
constexpr long kMaxRetries = 1000;

//! MPEG audio streams are labelled by their container before any frame was
//! seen; the layer in the first frame header tells which decoder ffmpeg itself
//! would pick (layers 1 and 2 have their own decoders).
AVCodecID mpegAudioLayer(AVCodecID labelled, const AVPacket* first)
{
    if (labelled != AV_CODEC_ID_MP1 && labelled != AV_CODEC_ID_MP2 && labelled != AV_CODEC_ID_MP3)
        return labelled;
    if (!first || first->size < 4 || first->data[0] != 0xff || (first->data[1] & 0xe0) != 0xe0)
        return labelled;
    switch ((first->data[1] >> 1) & 3) {
    case 3:
        return AV_CODEC_ID_MP1;
    case 2:
        return AV_CODEC_ID_MP2;
    case 1:
        return AV_CODEC_ID_MP3;
    default:
        return labelled;
    }
}

} // namespace

std::unique_ptr<FrameDecoder> FrameDecoder::open(std::unique_ptr<MediaFile> media, int& error)
{
    std::unique_ptr<FrameDecoder> decoder(new FrameDecoder);
    decoder->m_media = std::move(media);
    AVStream* stream = decoder->m_media->stream();
    decoder->m_frame = av_frame_alloc();
    decoder->m_packet = av_packet_alloc();
    if (!decoder->m_frame || !decoder->m_packet) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    AVCodecID codecId = stream->codecpar->codec_id;
    if (codecId == AV_CODEC_ID_MP1 || codecId == AV_CODEC_ID_MP2 || codecId == AV_CODEC_ID_MP3) {
        decoder->m_held = decoder->readPacket();
        codecId = mpegAudioLayer(codecId, decoder->m_held ? decoder->m_packet : nullptr);
    }
    const AVCodec* codec = avcodec_find_decoder(codecId);
    decoder->m_codec = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!decoder->m_codec) {
        error = codec ? BASS_ERROR_MEM : BASS_ERROR_FORMAT;
        return nullptr;
    }
    if (avcodec_parameters_to_context(decoder->m_codec, stream->codecpar) < 0) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    decoder->m_codec->codec_id = codecId;
    decoder->m_codec->pkt_timebase = stream->time_base;
    // As ffmpeg itself does: decoders that can decode frames in parallel
    // (FLAC, ALAC, WavPack) use the machine's cores; the output is the same.
    decoder->m_codec->thread_count = 0;
    decoder->m_codec->thread_type = FF_THREAD_FRAME;
    if (avcodec_open2(decoder->m_codec, codec, nullptr) < 0) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    error = BASS_OK;
    return decoder;
}

FrameDecoder::~FrameDecoder()
{
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    avcodec_free_context(&m_codec);
}

AVFrame* FrameDecoder::next()
{
    av_frame_unref(m_frame);
    long failures = 0;
    while (!m_finished) {
        const int got = avcodec_receive_frame(m_codec, m_frame);
        if (got == 0) {
            if (m_frame->nb_samples > 0) {
                m_fruitless = 0;
                return m_frame;
            }
            av_frame_unref(m_frame);
            continue;
        }
        if (got == AVERROR_EOF) {
            m_finished = true;
        } else if (got == AVERROR(EAGAIN)) {
            if (m_draining || !feed())
                m_finished = true;
        } else {
            ++m_errors; // a damaged packet: the decoder drops it and goes on
            if (++failures > kMaxRetries)
                m_finished = true;
        }
    }
    return nullptr;
}

bool FrameDecoder::seek(std::int64_t frame, int rate)
{
    AVStream* stream = m_media->stream();
    if (rate <= 0 || frame < 0)
        return false;
    std::int64_t target = av_rescale_q(frame, AVRational{1, rate}, stream->time_base);
    if (stream->start_time != AV_NOPTS_VALUE)
        target += stream->start_time;
    if (av_seek_frame(m_media->format(), stream->index, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(m_codec);
    av_packet_unref(m_packet);
    m_held = false;
    m_draining = false;
    m_finished = false;
    m_errors = 0;
    m_fruitless = 0;
    return true;
}

std::int64_t FrameDecoder::frameStart(const AVFrame* frame, int rate) const
{
    std::int64_t pts = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE || rate <= 0)
        return -1;
    const AVStream* stream = m_media->stream();
    if (stream->start_time != AV_NOPTS_VALUE)
        pts -= stream->start_time;
    return av_rescale_q(pts, stream->time_base, AVRational{1, rate});
}

bool FrameDecoder::readPacket()
{
    AVFormatContext* format = m_media->format();
    const int index = m_media->stream()->index;
    long retries = 0;
    while (++m_fruitless <= kMaxFruitlessPackets) {
        const int read = av_read_frame(format, m_packet);
        if (read == AVERROR(EAGAIN)) {
            if (++retries > kMaxRetries)
                return false;
            continue;
        }
        if (read < 0)
            return false;
        if (m_packet->stream_index == index && m_packet->size > 0)
            return true;
        av_packet_unref(m_packet);
    }
    return false;
}

bool FrameDecoder::feed()
{
    while (true) {
        const bool got = m_held || readPacket();
        m_held = false;
        if (!got) {
            // The end of the data (or an unreadable rest): let the decoder
            // hand out what it still holds.
            m_draining = true;
            return avcodec_send_packet(m_codec, nullptr) == 0;
        }
        const int sent = avcodec_send_packet(m_codec, m_packet);
        av_packet_unref(m_packet);
        if (sent == 0)
            return true;
        ++m_errors; // a damaged packet is skipped
        if (m_fruitless > kMaxFruitlessPackets)
            return false;
    }
}

} // namespace engine
