// Opening and freeing streams and music, and loading format modules.

#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"
#include "engine/DownmixChannel.h"
#include "engine/FfmpegChannel.h"
#include "engine/FormatModules.h"
#include "engine/MidiChannel.h"
#include "engine/MidiFile.h"
#include "engine/MusicChannel.h"
#include "engine/PathOpener.h"
#include "engine/Playback.h"
#include "platform/FileName.h"

extern "C" {
#include <libavutil/log.h>
}

#include <atomic>
#include <mutex>

namespace {

using namespace engine;

//! Installed once at start-up, read by every thread that opens a stream.
std::atomic<PathOpener> g_pathOpener{nullptr};

void quietFfmpeg()
{
    // Damaged input is expected and handled; libavcodec's complaints about
    // it would only flood the terminal.
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

MediaRequest makeRequest(bool fromMemory, const void* file, QWORD offset, QWORD length)
{
    MediaRequest request;
    request.fromMemory = fromMemory;
    if (fromMemory)
        request.memory = file;
    else
        request.path = static_cast<const char*>(file);
    request.offset = static_cast<std::int64_t>(offset);
    request.length = static_cast<std::int64_t>(length);
    return request;
}

bool badArguments(const void* file, QWORD offset, QWORD length)
{
    constexpr QWORD kLimit = QWORD(1) << 62;
    return !file || offset >= kLimit || length >= kLimit;
}

//! Whether the bytes are a MIDI file (which only the MIDI module reads).
bool isMidi(const MediaRequest& request)
{
    int error = 0;
    auto source = MediaSource::open(request, error);
    if (!source)
        return false;
    std::uint8_t head[12] = {};
    const std::int64_t got = source->readAt(0, head, sizeof head);
    return got > 0 && MidiFile::looksLikeMidi(head, static_cast<std::size_t>(got));
}

DWORD addChannel(ChannelKind kind, DWORD flags, std::shared_ptr<Channel> channel)
{
    const DWORD handle = ChannelRegistry::global().add(kind, flags, std::move(channel));
    setLastError(BASS_OK);
    return handle;
}

bool freeChannel(DWORD handle, ChannelKind kind)
{
    auto slot = ChannelRegistry::global().find(handle);
    if (!slot || slot->kind != kind) {
        setLastError(BASS_ERROR_HANDLE);
        return false;
    }
    forgetPlayback(handle);
    ChannelRegistry::global().remove(handle);
    setLastError(BASS_OK);
    return true;
}

} // namespace

void engine::setPathOpener(PathOpener opener)
{
    g_pathOpener.store(opener);
}

HPLUGIN BASS_PluginLoad(const char* file, DWORD)
{
    return FormatModules::load(file);
}

bool BASS_PluginFree(HPLUGIN handle)
{
    return FormatModules::unload(handle);
}

HSTREAM BASS_StreamCreateFile(bool fromMemory, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    quietFfmpeg();
    if (badArguments(file, offset, length)) {
        setLastError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    const MediaRequest request = makeRequest(fromMemory, file, offset, length);
    int error = BASS_OK;
    std::shared_ptr<Channel> channel;
    // Float data only where it is read by the caller and not mixed down.
    const bool floatSamples =
        (flags & BASS_SAMPLE_FLOAT) && (flags & BASS_STREAM_DECODE) && !(flags & BASS_STREAM_DOWNMIX);
    const PathOpener opener = g_pathOpener.load();
    std::optional<std::shared_ptr<Channel>> opened;
    if (opener && !fromMemory)
        opened = opener(platform::fromNativeName(QByteArray(request.path.c_str())), floatSamples, error);
    if (opened) {
        channel = std::move(*opened);
    } else if (isMidi(request)) {
        const HPLUGIN midi = FormatModules::midiModule();
        if (midi)
            channel = MidiChannel::open(request, midi, error);
        else
            error = BASS_ERROR_FORMAT;
    } else {
        channel = FfmpegChannel::open(request, floatSamples, error);
    }
    if (channel && (flags & BASS_STREAM_DOWNMIX)) {
        channel = DownmixChannel::wrap(std::move(channel));
        error = BASS_ERROR_FORMAT;
    }
    if (!channel) {
        setLastError(error != BASS_OK ? error : BASS_ERROR_FORMAT);
        return 0;
    }
    return addChannel(ChannelKind::Stream, flags, std::move(channel));
}

HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, QWORD offset, DWORD length, DWORD flags, DWORD freq)
{
    if (badArguments(file, offset, length)) {
        setLastError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    int error = BASS_OK;
    auto channel = MusicChannel::open(makeRequest(fromMemory, file, offset, length), static_cast<int>(freq), error);
    if (!channel) {
        setLastError(error != BASS_OK ? error : BASS_ERROR_FORMAT);
        return 0;
    }
    return addChannel(ChannelKind::Music, flags, std::move(channel));
}

bool BASS_StreamFree(HSTREAM handle)
{
    return freeChannel(handle, ChannelKind::Stream);
}

bool BASS_MusicFree(HMUSIC handle)
{
    return freeChannel(handle, ChannelKind::Music);
}
