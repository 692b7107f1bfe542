#include "engine/AudioFileFormat.h"

#include "engine/MediaFile.h"
#include "platform/FileName.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace engine {

std::optional<AudioFileFormat> ReadAudioFileFormat(const QString& path)
{
    MediaSpec request;
    request.path = platform::nativeName(path).toStdString();
    int error = 0;
    const auto media = MediaFile::open(request, error);
    if (!media)
        return std::nullopt;
    const AVCodecParameters* codec = media->stream()->codecpar;
    AudioFileFormat format;
    format.container = QString::fromLatin1(media->format()->iformat->name);
    format.codec = QString::fromLatin1(avcodec_get_name(codec->codec_id));
    format.rate = codec->sample_rate;
    format.frameSamples = codec->frame_size > 0 ? codec->frame_size : 0;
    return format;
}

} // namespace engine
