#pragma once

#include "disc/CdAudioReader.h"
#include "disc/DiscLayout.h"
#include "disc/DriveLock.h"
#include "engine/Channel.h"

#include <array>
#include <memory>

namespace disc {

//! One track of a drive or a BIN image: its sectors read through
//! CdAudioReader and delivered as 16-bit stereo PCM at 44100 Hz. Nothing is
//! read until the first data is asked for, so measuring a track costs no
//! access to the disc; a drive is held (DriveLock) from the first read to the
//! track's end.
class CdTrackChannel : public engine::Channel {
public:
    static std::shared_ptr<CdTrackChannel> open(const DiscTrackSpan& span, int& error);

    BASS_CHANNELINFO info() const override;
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override { return (m_span.end - m_span.first) * DiscTrackSpan::kSectorBytes; }
    std::int64_t position() const override { return m_position; }
    bool rewind() override;
    std::int64_t damagedAt() const override;
    void setCancelFlag(const std::atomic<bool>* flag) override;

    //! The reader this channel uses, made on first use (for a look at how it
    //! copes with unreadable sectors).
    CdAudioReader* reader();

private:
    CdTrackChannel() = default;

    DiscTrackSpan m_span;
    std::unique_ptr<CdAudioReader> m_reader;
    bool m_readerFailed = false;
    DriveLock m_driveLock;
    const std::atomic<bool>* m_cancel = nullptr;
    std::array<char, DiscTrackSpan::kSectorBytes> m_sector{};
    std::int64_t m_sectorLeft = 0; // bytes of m_sector not yet delivered
    std::int64_t m_position = 0;
};

} // namespace disc
