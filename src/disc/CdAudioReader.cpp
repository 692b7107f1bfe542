#include "disc/CdAudioReader.h"

#include "platform/FileName.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace disc {

//! Paranoia's callbacks carry no context: the reader reading on this thread
//! is theirs.
struct ReaderCallbacks {
    static thread_local CdAudioReader* active;

    static long readAudio(cdrom_drive_t* drive, void* buffer, lsn_t lsn, long sectors)
    {
        CdAudioReader* reader = active;
        if (!reader)
            return -1;
        // A stop makes every read, retries included, fail at once.
        if (reader->cancelled())
            return -1;
        if (reader->m_sectorRead)
            return reader->m_sectorRead(buffer, lsn, sectors);
        (void)drive;
        return reader->readRaw(buffer, lsn, sectors);
    }

    //! `position` counts 16-bit words from the start of the disc; paranoia
    //! reads ahead, so it may name a sector later than the one being returned.
    static void progress(long position, paranoia_cb_mode_t mode)
    {
        if (!active || mode != PARANOIA_CB_SKIP)
            return;
        active->m_skipped = true;
        const std::int64_t sector = position / CD_FRAMEWORDS;
        if (active->m_firstDamaged < 0 || sector < active->m_firstDamaged)
            active->m_firstDamaged = sector;
    }
};

thread_local CdAudioReader* ReaderCallbacks::active = nullptr;

CdAudioReader::CdAudioReader(std::unique_ptr<CdDisc> disc) : m_disc(std::move(disc)) {}

CdAudioReader::~CdAudioReader()
{
    if (m_paranoia)
        cdio_paranoia_free(m_paranoia);
    if (m_drive)
        cdio_cddap_close_no_free_cdio(m_drive);
    if (m_imageFd >= 0)
        ::close(m_imageFd);
}

bool CdAudioReader::open()
{
    if (!m_disc || !m_disc->cdio())
        return false;
    m_drive = cdio_cddap_identify_cdio(m_disc->cdio(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!m_drive)
        return false;
    // An image holds little-endian samples, which paranoia must not guess
    // at (it would from the data, and could be wrong on quiet audio).
    if (!m_disc->isDrive()) {
        m_drive->bigendianp = 0;
        m_imageFd = ::open(platform::nativeName(m_disc->name()).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_imageFd < 0)
            return false;
    }
    if (cdio_cddap_open(m_drive) != 0)
        return false;
    m_libraryRead = m_drive->read_audio;
    m_drive->read_audio = &ReaderCallbacks::readAudio;
    m_paranoia = cdio_paranoia_init(m_drive);
    if (!m_paranoia)
        return false;
    cdio_paranoia_modeset(m_paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    seek(m_next);
    return true;
}

long CdAudioReader::readRaw(void* buffer, std::int32_t lsn, long sectors)
{
    if (m_imageFd >= 0)
        return readImage(buffer, lsn, sectors);
    return m_libraryRead ? m_libraryRead(m_drive, buffer, lsn, sectors) : -1;
}

long CdAudioReader::readImage(void* buffer, std::int32_t lsn, long sectors)
{
    auto* out = static_cast<char*>(buffer);
    long done = 0;
    for (; done < sectors && !cancelled(); ++done) {
        const off_t at = off_t(lsn + done) * CDIO_CD_FRAMESIZE_RAW;
        std::size_t got = 0;
        while (got < CDIO_CD_FRAMESIZE_RAW) {
            const ssize_t n = ::pread(m_imageFd, out + got, CDIO_CD_FRAMESIZE_RAW - got, at + off_t(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return done > 0 ? done : -1; // past the image's end, or a read error
            got += std::size_t(n);
        }
        out += CDIO_CD_FRAMESIZE_RAW;
    }
    return done > 0 ? done : -1;
}

void CdAudioReader::seek(std::int64_t lsn)
{
    m_next = lsn;
    if (!m_paranoia)
        return;
    ReaderCallbacks::active = this;
    cdio_paranoia_seek(m_paranoia, std::int32_t(lsn), SEEK_SET);
    ReaderCallbacks::active = nullptr;
}

CdAudioReader::Result CdAudioReader::read(char* out)
{
    if (!m_paranoia)
        return Result::Failed;
    if (cancelled())
        return Result::Cancelled;
    m_skipped = false;
    ReaderCallbacks::active = this;
    const std::int16_t* sector = cdio_paranoia_read_limited(m_paranoia, &ReaderCallbacks::progress, kMaxRetries);
    ReaderCallbacks::active = nullptr;
    if (cancelled())
        return Result::Cancelled;
    if (!sector)
        return Result::Failed;
    // A drive whose disc went away fails every read from then on: that is
    // no damage of the disc but the end of the reading.
    if (m_skipped && m_disc->isDrive() && cdio_get_media_changed(m_disc->cdio()) == 1)
        return Result::Failed;
    std::memcpy(out, sector, CDIO_CD_FRAMESIZE_RAW);
    ++m_next;
    return Result::Sector;
}

} // namespace disc
