#pragma once

#include "engine/Channel.h"
#include "engine/MediaSource.h"
#include "engine/MidiFile.h"

#include <memory>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

namespace engine {

//! A MIDI file rendered by FluidSynth with the General MIDI sound font as
//! 16-bit stereo at 44100 Hz. The length is the file's playing time (to its
//! last event); exactly that many frames are delivered. The synthesizer and
//! its sound font are loaded on the first read, so opening a file only to
//! learn its length stays cheap.
class MidiChannel : public Channel {
public:
    static std::shared_ptr<MidiChannel> open(const MediaRequest& request, HPLUGIN module, int& error);
    ~MidiChannel() override;

    BASS_CHANNELINFO info() const override;
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override { return m_frames * kBlock; }
    std::int64_t position() const override { return m_position; }
    bool rewind() override;

    static constexpr int kRate = 44100;

private:
    static constexpr int kBlock = 4; // two 16-bit channels
    MidiChannel() = default;
    bool startSynth();
    void stopSynth();

    MidiFile m_midi;
    std::string m_path;
    HPLUGIN m_module = 0;
    std::int64_t m_frames = 0;
    std::int64_t m_position = 0;
    _fluid_hashtable_t* m_settings = nullptr;
    _fluid_synth_t* m_synth = nullptr;
    _fluid_player_t* m_player = nullptr;
};

} // namespace engine
