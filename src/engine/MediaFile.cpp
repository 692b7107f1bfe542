#include "engine/MediaFile.h"

#include "engine/FormatModules.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <string>

namespace engine {

namespace {

// Bytes read while guessing the container, and while looking for streams in
// containers that have no header listing them (MPEG program streams).
constexpr unsigned kProbeBytes = 1 << 20;
constexpr std::int64_t kStreamInfoBytes = 5 << 20;

// Containers must not open further files or URLs named inside them
// (playlists, references): only the one source is ever read.
int refuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
{
    return AVERROR(EPERM);
}

const AVInputFormat* probe(AVIOContext* io, const std::string& nameHint)
{
    const AVInputFormat* format = nullptr;
    if (av_probe_input_buffer2(io, &format, nameHint.c_str(), nullptr, 0, kProbeBytes) < 0)
        return nullptr;
    return format;
}

AVStream* firstAudioStream(AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* st = format->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && st->codecpar->codec_id != AV_CODEC_ID_NONE)
            return st;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<MediaFile> MediaFile::open(const MediaRequest& request, int& error)
{
    std::unique_ptr<MediaFile> media(new MediaFile);
    media->m_source = MediaSource::open(request, error);
    if (!media->m_source)
        return nullptr;
    AVIOContext* io = media->m_source->io();

    // The name's extension helps the guess; when that guess is a container
    // the engine does not read (a tracker module, or a format claimed only by
    // its extension), the content alone decides. The name is the bytes after
    // the last '/' (all of them when there is none).
    const std::string nameHint = request.fromMemory ? std::string() : request.path.substr(request.path.rfind('/') + 1);
    const AVInputFormat* input = probe(io, nameHint);
    if (input && !FormatModules::containerAllowed(input->name) && !nameHint.empty()) {
        if (avio_seek(io, 0, SEEK_SET) < 0) {
            error = BASS_ERROR_FORMAT;
            return nullptr;
        }
        input = probe(io, std::string());
    }
    if (!input || !FormatModules::containerAllowed(input->name)) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }

    AVFormatContext* format = avformat_alloc_context();
    if (!format) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->io_open = refuseNestedOpen;
    format->probesize = kStreamInfoBytes;
    if (avformat_open_input(&format, nameHint.c_str(), input, nullptr) < 0) {
        error = BASS_ERROR_FORMAT; // avformat_open_input freed the context
        return nullptr;
    }
    media->m_format = format;
    media->m_headerEnd = avio_tell(io);

    AVStream* stream = (format->ctx_flags & AVFMTCTX_NOHEADER) ? nullptr : firstAudioStream(format);
    if (!stream) {
        if (avformat_find_stream_info(format, nullptr) < 0) {
            error = BASS_ERROR_FORMAT;
            return nullptr;
        }
        stream = firstAudioStream(format);
    }
    if (!stream) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }

    const long long provider = FormatModules::codecProvider(stream->codecpar->codec_id);
    if (provider < 0 || !avcodec_find_decoder(stream->codecpar->codec_id)) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    media->m_module = static_cast<HPLUGIN>(provider);
    media->m_stream = stream;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i] != stream)
            format->streams[i]->discard = AVDISCARD_ALL;
    }
    error = BASS_OK;
    return media;
}

MediaFile::~MediaFile()
{
    if (m_format)
        avformat_close_input(&m_format);
}

} // namespace engine
