#include "disc/CdTrackChannel.h"

#include <algorithm>
#include <cstring>

namespace disc {

namespace {
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kBits = 16;
} // namespace

std::shared_ptr<CdTrackChannel> CdTrackChannel::open(const DiscTrackSpan& span, int& error)
{
    if (!span.sectors() || span.end <= span.first) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    std::shared_ptr<CdTrackChannel> channel(new CdTrackChannel);
    channel->m_span = span;
    error = BASS_OK;
    return channel;
}

BASS_CHANNELINFO CdTrackChannel::info() const
{
    BASS_CHANNELINFO info{};
    info.freq = kRate;
    info.chans = kChannels;
    info.ctype = BASS_CTYPE_STREAM;
    info.origres = kBits;
    return info;
}

CdAudioReader* CdTrackChannel::reader()
{
    if (m_reader || m_readerFailed)
        return m_reader.get();
    const bool drive = m_span.source == DiscTrackSpan::Source::DriveSectors;
    auto disc = drive ? CdDisc::openDrive(m_span.file) : CdDisc::openImage(m_span.file);
    auto reader = std::make_unique<CdAudioReader>(std::move(disc));
    reader->seek(m_span.first + m_position / DiscTrackSpan::kSectorBytes);
    if (!reader->open()) {
        m_readerFailed = true;
        return nullptr;
    }
    reader->setCancelFlag(m_cancel);
    m_reader = std::move(reader);
    return m_reader.get();
}

std::int64_t CdTrackChannel::read(char* out, std::int64_t bytes)
{
    bytes -= bytes % (kChannels * kBits / 8);
    bytes = std::min(bytes, length() - m_position);
    if (bytes <= 0)
        return 0;
    const bool drive = m_span.source == DiscTrackSpan::Source::DriveSectors;
    if (drive && !m_driveLock.acquire(m_span.file, m_cancel))
        return 0; // stopped while waiting for the drive
    CdAudioReader* source = reader();
    if (!source) {
        m_driveLock.release();
        return -1;
    }
    std::int64_t delivered = 0;
    while (delivered < bytes) {
        if (m_sectorLeft == 0) {
            const CdAudioReader::Result result = source->read(m_sector.data());
            if (result == CdAudioReader::Result::Cancelled)
                break;
            if (result == CdAudioReader::Result::Failed) {
                m_driveLock.release();
                return delivered > 0 ? delivered : -1;
            }
            m_sectorLeft = DiscTrackSpan::kSectorBytes;
        }
        const std::int64_t n = std::min(m_sectorLeft, bytes - delivered);
        std::memcpy(out + delivered, m_sector.data() + (DiscTrackSpan::kSectorBytes - m_sectorLeft), std::size_t(n));
        m_sectorLeft -= n;
        delivered += n;
        m_position += n;
    }
    if (m_position >= length())
        m_driveLock.release();
    return delivered;
}

bool CdTrackChannel::rewind()
{
    m_position = 0;
    m_sectorLeft = 0;
    if (m_reader)
        m_reader->seek(m_span.first);
    return true;
}

std::int64_t CdTrackChannel::damagedAt() const
{
    // Paranoia reads ahead: damage it met past this track belongs to the next.
    const std::int64_t sector = m_reader ? m_reader->firstDamagedSector() : -1;
    if (sector < 0 || sector >= m_span.end)
        return -1;
    return std::max<std::int64_t>(0, sector - m_span.first) * DiscTrackSpan::kSectorBytes;
}

void CdTrackChannel::setCancelFlag(const std::atomic<bool>* flag)
{
    m_cancel = flag;
    if (m_reader)
        m_reader->setCancelFlag(flag);
}

} // namespace disc
