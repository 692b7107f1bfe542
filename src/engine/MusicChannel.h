#pragma once

#include "engine/Channel.h"
#include "engine/MediaSource.h"

#include <memory>
#include <string>
#include <vector>

struct openmpt_module;

namespace engine {

//! A tracker module (MOD, XM, IT, S3M, MTM, UMX, …) rendered by libopenmpt as
//! 16-bit stereo. The length is the module's playing time at the rendering
//! rate; exactly that many frames are delivered (a rendering that stops a few
//! frames early is completed with silence).
class MusicChannel : public Channel {
public:
    //! `rate` 0 renders at 44100 Hz. Null with `error` set when the bytes
    //! are no module libopenmpt can play.
    static std::shared_ptr<MusicChannel> open(const MediaRequest& request, int rate, int& error);
    ~MusicChannel() override;

    BASS_CHANNELINFO info() const override;
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override { return m_frames * kBlock; }
    std::int64_t position() const override { return m_position; }
    bool rewind() override;

    //! A metadata field of the module ("title", "artist", …); empty when absent.
    std::string metadata(const char* key) const;

private:
    static constexpr int kBlock = 4; // two 16-bit channels
    MusicChannel() = default;

    openmpt_module* m_module = nullptr;
    std::vector<char> m_file;
    std::string m_path;
    int m_rate = 44100;
    std::int64_t m_frames = 0;
    std::int64_t m_position = 0;
    bool m_rendererDone = false;
};

} // namespace engine
