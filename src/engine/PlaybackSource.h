#pragma once

#include "engine/ChannelRegistry.h"

#include <QIODevice>
#include <memory>
#include <vector>

namespace engine {

//! The PCM of a channel as a sequential device, read on the output thread to
//! feed the channel's audio sink. Reads take the channel slot's mutex. A looping channel
//! starts again at its end; otherwise the device runs dry and ended() turns
//! true. With `mixToStereo` the data is turned into 16-bit stereo (for an
//! output that cannot take the channel's own layout): even-numbered channels
//! are averaged to the left, odd-numbered ones to the right, mono goes to both.
class PlaybackSource : public QIODevice {
public:
    PlaybackSource(std::shared_ptr<ChannelSlot> slot, bool loop, bool mixToStereo);

    bool ended() const { return m_ended; }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::int64_t readOnce(char* data, std::int64_t maxSize);

    std::shared_ptr<ChannelSlot> m_slot;
    bool m_loop;
    bool m_mixToStereo;
    int m_channels;
    int m_sampleBytes;
    bool m_ended = false;
    std::vector<char> m_scratch;
};

} // namespace engine
