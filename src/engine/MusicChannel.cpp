#include "engine/MusicChannel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <libopenmpt/libopenmpt.h>

namespace engine {

namespace {
// Modules are small; this cap keeps a large non-module file from being read
// into memory when it is handed to the music opener.
constexpr std::int64_t kMaxModuleBytes = 256ll << 20;
constexpr std::size_t kProbeBytes = 4096;
} // namespace

std::shared_ptr<MusicChannel> MusicChannel::open(const MediaRequest& request, int rate, int& error)
{
    auto source = MediaSource::open(request, error);
    if (!source)
        return nullptr;
    std::vector<char> head(std::min<std::int64_t>(source->size(), kProbeBytes));
    const std::int64_t headBytes = source->readAt(0, head.data(), static_cast<std::int64_t>(head.size()));
    int probeError = 0;
    if (headBytes <= 0 || source->size() > kMaxModuleBytes ||
        openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, head.data(),
                                  static_cast<std::size_t>(headBytes), static_cast<std::uint64_t>(source->size()),
                                  openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, &probeError,
                                  nullptr) == OPENMPT_PROBE_FILE_HEADER_RESULT_FAILURE) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }

    std::shared_ptr<MusicChannel> channel(new MusicChannel);
    channel->m_file.resize(static_cast<std::size_t>(source->size()));
    if (source->readAt(0, channel->m_file.data(), source->size()) != source->size()) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    channel->m_module =
        openmpt_module_create_from_memory2(channel->m_file.data(), channel->m_file.size(), openmpt_log_func_silent,
                                           nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
    if (!channel->m_module) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    channel->m_file.clear(); // libopenmpt keeps its own copy
    channel->m_file.shrink_to_fit();
    channel->m_path = request.fromMemory ? std::string() : request.path;
    channel->m_rate = rate >= 1000 && rate <= 192000 ? rate : 44100;
    const double seconds = openmpt_module_get_duration_seconds(channel->m_module);
    channel->m_frames = std::isfinite(seconds) && seconds > 0 ? std::llround(seconds * channel->m_rate) : 0;
    error = BASS_OK;
    return channel;
}

MusicChannel::~MusicChannel()
{
    if (m_module)
        openmpt_module_destroy(m_module);
}

BASS_CHANNELINFO MusicChannel::info() const
{
    BASS_CHANNELINFO info;
    info.freq = static_cast<DWORD>(m_rate);
    info.chans = 2;
    info.ctype = BASS_CTYPE_MUSIC_MOD;
    info.origres = 16;
    info.filename = m_path.empty() ? nullptr : m_path.c_str();
    return info;
}

std::int64_t MusicChannel::read(char* out, std::int64_t bytes)
{
    const std::int64_t wanted = std::min(bytes / kBlock, m_frames - m_position / kBlock);
    std::int64_t done = 0;
    while (done < wanted && !m_rendererDone) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(wanted - done, 1 << 14));
        const std::size_t got = openmpt_module_read_interleaved_stereo(
            m_module, m_rate, chunk, reinterpret_cast<std::int16_t*>(out + done * kBlock));
        if (got == 0)
            m_rendererDone = true;
        done += static_cast<std::int64_t>(got);
    }
    if (done < wanted) {
        std::memset(out + done * kBlock, 0, static_cast<std::size_t>((wanted - done) * kBlock));
        done = wanted;
    }
    m_position += done * kBlock;
    return done * kBlock;
}

bool MusicChannel::rewind()
{
    openmpt_module_set_position_seconds(m_module, 0.0);
    m_position = 0;
    m_rendererDone = false;
    return true;
}

std::string MusicChannel::metadata(const char* key) const
{
    const char* value = openmpt_module_get_metadata(m_module, key);
    if (!value)
        return {};
    std::string text(value);
    openmpt_free_string(value);
    return text;
}

} // namespace engine
