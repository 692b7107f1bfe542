#include "engine/AudioFileFormat.h"

#include "engine/FrameDecoder.h"
#include "engine/MediaFile.h"
#include "engine/StreamLength.h"
#include "platform/FileName.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace engine {

std::optional<AudioFileFormat> ReadAudioFileFormat(const QString& path)
{
    MediaRequest request;
    request.path = platform::nativeName(path).toStdString();
    int error = 0;
    auto media = MediaFile::open(request, error);
    if (!media)
        return std::nullopt;
    const AVCodecParameters* codec = media->stream()->codecpar;
    AudioFileFormat format;
    format.container = QString::fromLatin1(media->format()->iformat->name);
    format.codec = QString::fromLatin1(avcodec_get_name(codec->codec_id));
    format.rate = codec->sample_rate;
    format.frameSamples = codec->frame_size > 0 ? codec->frame_size : 0;
    if (format.rate <= 0) {
        // Raw streams (MP3, FLAC) tell their rate with the first frame.
        const auto decoder = FrameDecoder::open(std::move(media), error);
        const AVFrame* first = decoder ? decoder->next() : nullptr;
        if (!first)
            return format;
        format.rate = first->sample_rate;
        if (format.frameSamples == 0 && decoder->codec()->frame_size > 0)
            format.frameSamples = decoder->codec()->frame_size;
    }
    if (format.rate > 0) {
        const std::int64_t frames = StreamLength::frames(request, format.rate, format.frameSamples);
        if (frames >= 0)
            format.seconds = double(frames) / format.rate;
    }
    return format;
}

std::int64_t DecodedFramesFrom(const QString& path, int rate, std::int64_t fromFrame)
{
    MediaRequest request;
    request.path = platform::nativeName(path).toStdString();
    int error = 0;
    auto media = MediaFile::open(request, error);
    auto decoder = media ? FrameDecoder::open(std::move(media), error) : nullptr;
    if (!decoder || rate <= 0)
        return -1;
    // The seek lands at or before the frame asked for: counting from there
    // can only overstate by what lies before it, never miss an end.
    std::int64_t skip = fromFrame > 0 && decoder->seek(fromFrame, rate) ? 0 : std::max<std::int64_t>(0, fromFrame);
    std::int64_t frames = 0;
    while (const AVFrame* frame = decoder->next()) {
        const std::int64_t skipped = std::min<std::int64_t>(skip, frame->nb_samples);
        skip -= skipped;
        frames += frame->nb_samples - skipped;
    }
    return frames;
}

} // namespace engine
