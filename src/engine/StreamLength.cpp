#include "engine/StreamLength.h"

#include "engine/FrameDecoder.h"
#include "engine/MediaFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

constexpr long kMaxRetries = 1000;

bool isPcm(AVCodecID codec)
{
    return codec >= AV_CODEC_ID_FIRST_AUDIO && codec < AV_CODEC_ID_ADPCM_IMA_QT;
}

bool containerIs(const AVFormatContext* format, const char* const* names)
{
    for (; *names; ++names) {
        if (std::strcmp(format->iformat->name, *names) == 0)
            return true;
    }
    return false;
}

bool decodeCountNeeded(AVCodecID codec)
{
    switch (codec) {
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
    case AV_CODEC_ID_WMAPRO:
    case AV_CODEC_ID_WMAVOICE:
    case AV_CODEC_ID_WMALOSSLESS:
        return true;
    default:
        return false;
    }
}

std::int64_t streamDurationFrames(const AVStream* stream, int rate)
{
    if (stream->duration <= 0 || stream->duration == AV_NOPTS_VALUE || rate <= 0)
        return -1;
    return av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate});
}

//! PCM: the frames of the header, but never more than the bytes present.
std::int64_t pcmFrames(const MediaFile& media)
{
    const AVCodecParameters* par = media.stream()->codecpar;
    int blockAlign = par->block_align;
    if (blockAlign <= 0)
        blockAlign = par->ch_layout.nb_channels * av_get_bits_per_sample(par->codec_id) / 8;
    if (blockAlign <= 0)
        return -1;
    const std::int64_t present = std::max<std::int64_t>(0, media.source().size() - media.headerEnd()) / blockAlign;
    const std::int64_t promised = streamDurationFrames(media.stream(), par->sample_rate);
    return promised >= 0 ? std::min(promised, present) : present;
}

std::int64_t decodeCount(std::unique_ptr<MediaFile> media)
{
    int error = 0;
    auto decoder = FrameDecoder::open(std::move(media), error);
    if (!decoder)
        return -1;
    std::int64_t total = 0;
    while (const AVFrame* frame = decoder->next())
        total += frame->nb_samples;
    return total;
}

//! Sums what the decoder will hand out packet by packet, applying the skip and
//! discard-padding side data exactly as libavcodec does. -1 when a packet's
//! length cannot be known without decoding.
std::int64_t packetScan(MediaFile& media, int fixedFrameSize)
{
    AVFormatContext* format = media.format();
    AVStream* stream = media.stream();
    const int rate = stream->codecpar->sample_rate;
    AVPacket* packet = av_packet_alloc();
    if (!packet)
        return -1;
    std::int64_t total = 0;
    std::int64_t pendingSkip = 0;
    long retries = 0;
    bool ok = true;
    while (true) {
        const int read = av_read_frame(format, packet);
        if (read == AVERROR(EAGAIN) && ++retries <= kMaxRetries)
            continue;
        if (read < 0)
            break;
        if (packet->stream_index != stream->index || packet->size <= 0) {
            av_packet_unref(packet);
            continue;
        }
        std::int64_t samples = fixedFrameSize;
        if (samples <= 0 && packet->duration > 0 && rate > 0)
            samples = av_rescale_q(packet->duration, stream->time_base, AVRational{1, rate});
        if (samples <= 0)
            samples = av_get_audio_frame_duration2(stream->codecpar, packet->size);
        if (samples <= 0) {
            ok = false;
            av_packet_unref(packet);
            break;
        }
        std::size_t sideSize = 0;
        const std::uint8_t* side = av_packet_get_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, &sideSize);
        std::int64_t padding = 0;
        if (side && sideSize >= 10) {
            pendingSkip = std::max<std::int64_t>(0, static_cast<std::int32_t>(AV_RL32(side)));
            padding = AV_RL32(side + 4);
        }
        if (pendingSkip >= samples) {
            pendingSkip -= samples;
            samples = 0;
        } else {
            samples -= pendingSkip;
            pendingSkip = 0;
            if (padding > 0 && padding <= samples)
                samples -= padding;
        }
        total += samples;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return ok ? total : -1;
}

} // namespace

std::int64_t StreamLength::frames(const MediaSpec& spec, int decoderFrameSize)
{
    int error = 0;
    auto media = MediaFile::open(spec, error);
    if (!media)
        return -1;
    const AVCodecParameters* par = media->stream()->codecpar;
    const AVCodecID codec = par->codec_id;

    static const char* const pcmContainers[] = {"wav", "w64", "aiff", nullptr};
    if (isPcm(codec) && containerIs(media->format(), pcmContainers)) {
        const std::int64_t frames = pcmFrames(*media);
        if (frames >= 0)
            return frames;
    }

    static const char* const exactContainers[] = {"flac", "ogg", "wv", "tta", "ape", nullptr};
    if (containerIs(media->format(), exactContainers)) {
        const std::int64_t frames = streamDurationFrames(media->stream(), par->sample_rate);
        if (frames >= 0)
            return frames;
    }

    if (decodeCountNeeded(codec))
        return decodeCount(std::move(media));

    const bool aac = codec == AV_CODEC_ID_AAC || codec == AV_CODEC_ID_AAC_LATM;
    if (aac && decoderFrameSize <= 0)
        return decodeCount(std::move(media));
    const std::int64_t scanned = packetScan(*media, aac ? decoderFrameSize : 0);
    if (scanned >= 0)
        return scanned;
    media = MediaFile::open(spec, error);
    return media ? decodeCount(std::move(media)) : -1;
}

} // namespace engine
