#include "engine/MidiChannel.h"

#include "engine/FormatModules.h"
#include "platform/FileName.h"

#include <algorithm>
#include <cmath>
#include <fluidsynth.h>
#include <mutex>

namespace engine {

namespace {

constexpr std::int64_t kMaxMidiBytes = 16ll << 20;

void quietFluidSynth()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

} // namespace

std::shared_ptr<MidiChannel> MidiChannel::open(const MediaRequest& request, HPLUGIN module, int& error)
{
    auto source = MediaSource::open(request, error);
    if (!source)
        return nullptr;
    if (source->size() > kMaxMidiBytes) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(source->size()));
    if (source->readAt(0, bytes.data(), source->size()) != source->size()) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    auto midi = MidiFile::parse(std::move(bytes));
    if (!midi) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    std::shared_ptr<MidiChannel> channel(new MidiChannel);
    channel->m_midi = std::move(*midi);
    channel->m_path = request.fromMemory ? std::string() : request.path;
    channel->m_module = module;
    channel->m_frames = std::llround(channel->m_midi.seconds * kRate);
    error = BASS_OK;
    return channel;
}

MidiChannel::~MidiChannel()
{
    stopSynth();
}

BASS_CHANNELINFO MidiChannel::info() const
{
    BASS_CHANNELINFO info;
    info.freq = kRate;
    info.chans = 2;
    info.ctype = BASS_CTYPE_STREAM_MIDI;
    info.origres = 16;
    info.plugin = m_module;
    info.filename = m_path.empty() ? nullptr : m_path.c_str();
    return info;
}

bool MidiChannel::startSynth()
{
    quietFluidSynth();
    m_settings = new_fluid_settings();
    if (!m_settings)
        return false;
    fluid_settings_setnum(m_settings, "synth.sample-rate", kRate);
    // Render as fast as asked, timed by the samples produced, not the clock.
    fluid_settings_setstr(m_settings, "player.timing-source", "sample");
    fluid_settings_setint(m_settings, "synth.cpu-cores", 1);
    fluid_settings_setint(m_settings, "synth.lock-memory", 0);
    m_synth = new_fluid_synth(m_settings);
    if (!m_synth)
        return false;
    if (fluid_synth_sfload(m_synth, platform::nativeName(FormatModules::midiSoundFont()).constData(), 1) ==
        FLUID_FAILED)
        return false;
    m_player = new_fluid_player(m_synth);
    if (!m_player)
        return false;
    if (fluid_player_add_mem(m_player, m_midi.smf.data(), m_midi.smf.size()) != FLUID_OK)
        return false;
    return fluid_player_play(m_player) == FLUID_OK;
}

void MidiChannel::stopSynth()
{
    if (m_player) {
        fluid_player_stop(m_player);
        delete_fluid_player(m_player);
        m_player = nullptr;
    }
    if (m_synth) {
        delete_fluid_synth(m_synth);
        m_synth = nullptr;
    }
    if (m_settings) {
        delete_fluid_settings(m_settings);
        m_settings = nullptr;
    }
}

std::int64_t MidiChannel::read(char* out, std::int64_t bytes)
{
    const std::int64_t wanted = std::min(bytes / kBlock, m_frames - m_position / kBlock);
    if (wanted <= 0)
        return 0;
    if (!m_synth && !startSynth()) {
        stopSynth();
        return -1;
    }
    std::int64_t done = 0;
    while (done < wanted) {
        const int chunk = static_cast<int>(std::min<std::int64_t>(wanted - done, 4096));
        void* at = out + done * kBlock;
        if (fluid_synth_write_s16(m_synth, chunk, at, 0, 2, at, 1, 2) != FLUID_OK)
            return -1;
        done += chunk;
    }
    m_position += done * kBlock;
    return done * kBlock;
}

bool MidiChannel::rewind()
{
    stopSynth();
    m_position = 0;
    return true;
}

} // namespace engine
