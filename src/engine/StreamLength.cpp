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
    // Musepack packets say they hold whole blocks (up to 73728 samples in
    // SV8), but the last one holds fewer frames: summing them overstated a
    // 5.4-second file as 00:07.
    case AV_CODEC_ID_MUSEPACK7:
    case AV_CODEC_ID_MUSEPACK8:
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
std::int64_t pcmFrames(const MediaFile& media, int rate)
{
    const AVCodecParameters* par = media.stream()->codecpar;
    int blockAlign = par->block_align;
    if (blockAlign <= 0)
        blockAlign = par->ch_layout.nb_channels * av_get_bits_per_sample(par->codec_id) / 8;
    if (blockAlign <= 0)
        return -1;
    const std::int64_t present = std::max<std::int64_t>(0, media.source().size() - media.headerEnd()) / blockAlign;
    const std::int64_t promised = streamDurationFrames(media.stream(), rate);
    return promised >= 0 ? std::min(promised, present) : present;
}

//! MP3 with a Xing/Info frame and an encoder tag: the frame count, priming
//! and padding are all in the tag, so nothing has to be scanned. The tag is
//! only trusted when libavformat derived the same frame count and priming
//! from it. -1 when the shortcut does not apply.
std::int64_t mp3TagFrames(const MediaFile& media, int rate)
{
    const AVStream* stream = media.stream();
    if (std::strcmp(media.format()->iformat->name, "mp3") != 0 || rate <= 0)
        return -1;
    const std::int64_t framesTimesSpf = streamDurationFrames(stream, rate);
    if (framesTimesSpf <= 0 || stream->start_time == AV_NOPTS_VALUE || stream->start_time <= 0)
        return -1;
    const std::int64_t startSkip = av_rescale_q(stream->start_time, stream->time_base, AVRational{1, rate});

    // Skip the ID3v2 tags in front of the first frame.
    const MediaSource& source = media.source();
    std::int64_t at = 0;
    std::uint8_t head[10];
    while (source.readAt(at, head, 10) == 10 && std::memcmp(head, "ID3", 3) == 0) {
        const std::int64_t size =
            (head[6] & 0x7f) << 21 | (head[7] & 0x7f) << 14 | (head[8] & 0x7f) << 7 | (head[9] & 0x7f);
        at += 10 + size + ((head[5] & 0x10) ? 10 : 0);
    }
    std::uint8_t frame[256];
    if (source.readAt(at, frame, sizeof frame) != sizeof frame)
        return -1;
    const std::uint32_t header = AV_RB32(frame);
    if ((header & 0xffe00000u) != 0xffe00000u || ((header >> 17) & 3) != 1) // sync, layer III
        return -1;
    const bool mpeg1 = (header >> 19) & 1;
    const bool mono = ((header >> 6) & 3) == 3;
    const int sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const std::uint8_t* tag = frame + 4 + sideInfo;
    if (std::memcmp(tag, "Xing", 4) != 0 && std::memcmp(tag, "Info", 4) != 0)
        return -1;
    const std::uint32_t flags = AV_RB32(tag + 4);
    if (!(flags & 1))
        return -1;
    const std::int64_t frames = AV_RB32(tag + 8);
    // A file shorter than the tag says was cut: only a scan counts it right.
    if ((flags & 2) && source.size() - at < static_cast<std::int64_t>(AV_RB32(tag + 12)))
        return -1;
    const std::uint8_t* lame = tag + 8 + 4 + ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
    if (lame + 24 > frame + sizeof frame)
        return -1;
    if (std::memcmp(lame, "LAME", 4) != 0 && std::memcmp(lame, "Lavf", 4) != 0 && std::memcmp(lame, "Lavc", 4) != 0)
        return -1;
    const std::uint32_t delays = AV_RB24(lame + 21);
    const std::int64_t startPad = delays >> 12;
    const std::int64_t endPad = delays & 0xfff;
    const std::int64_t samplesPerFrame = mpeg1 ? 1152 : 576;
    // libavformat skips the priming plus the decoder's own delay (529
    // samples) and trims the padding less that delay from the end.
    if (frames * samplesPerFrame != framesTimesSpf || startPad + 529 != startSkip)
        return -1;
    return std::max<std::int64_t>(0, framesTimesSpf - startSkip - std::max<std::int64_t>(0, endPad - 529));
}

//! AAC in an MP4 container: the decoder hands out one whole frame per packet
//! and drops only the priming that the index places before time 0, so the
//! index alone gives the count. -1 when the index does not have that simple
//! shape.
std::int64_t mp4AacFrames(const MediaFile& media, int frameSize)
{
    AVStream* stream = media.stream();
    if (std::strncmp(media.format()->iformat->name, "mov,", 4) != 0 || frameSize <= 0)
        return -1;
    const int entries = avformat_index_get_entries_count(stream);
    if (entries <= 0 || stream->nb_frames != entries)
        return -1;
    const AVIndexEntry* first = avformat_index_get_entry(stream, 0);
    const AVIndexEntry* second = entries > 1 ? avformat_index_get_entry(stream, 1) : nullptr;
    if (!first || first->timestamp < -frameSize || first->timestamp > 0 || (second && second->timestamp < 0))
        return -1;
    if (stream->time_base.num != 1 || stream->time_base.den != stream->codecpar->sample_rate)
        return -1;
    const AVIndexEntry* last = avformat_index_get_entry(stream, entries - 1);
    if (!last || last->pos + last->size > media.source().size())
        return -1; // the file was cut short
    return static_cast<std::int64_t>(entries) * frameSize + first->timestamp;
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
std::int64_t packetScan(MediaFile& media, int rate, int fixedFrameSize)
{
    AVFormatContext* format = media.format();
    AVStream* stream = media.stream();
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

std::int64_t StreamLength::frames(const MediaRequest& request, int rate, int decoderFrameSize)
{
    int error = 0;
    auto media = MediaFile::open(request, error);
    if (!media)
        return -1;
    const AVCodecParameters* par = media->stream()->codecpar;
    const AVCodecID codec = par->codec_id;

    static const char* const pcmContainers[] = {"wav", "w64", "aiff", nullptr};
    if (isPcm(codec) && containerIs(media->format(), pcmContainers)) {
        const std::int64_t frames = pcmFrames(*media, rate);
        if (frames >= 0)
            return frames;
    }

    static const char* const exactContainers[] = {"flac", "ogg", "wv", "tta", "ape", nullptr};
    if (containerIs(media->format(), exactContainers)) {
        std::int64_t frames = streamDurationFrames(media->stream(), rate);
        // Ogg Opus counts the pre-skip the decoder drops.
        if (frames >= 0 && codec == AV_CODEC_ID_OPUS)
            frames = std::max<std::int64_t>(0, frames - par->initial_padding);
        if (frames >= 0)
            return frames;
    }

    if (decodeCountNeeded(codec))
        return decodeCount(std::move(media));

    if (codec == AV_CODEC_ID_MP3) {
        const std::int64_t frames = mp3TagFrames(*media, rate);
        if (frames >= 0)
            return frames;
    }
    const bool aac = codec == AV_CODEC_ID_AAC || codec == AV_CODEC_ID_AAC_LATM;
    if (aac) {
        const std::int64_t frames = mp4AacFrames(*media, decoderFrameSize);
        if (frames >= 0)
            return frames;
    }
    if (aac && decoderFrameSize <= 0)
        return decodeCount(std::move(media));
    const std::int64_t scanned = packetScan(*media, rate, aac ? decoderFrameSize : 0);
    if (scanned >= 0)
        return scanned;
    media = MediaFile::open(request, error);
    return media ? decodeCount(std::move(media)) : -1;
}

} // namespace engine
