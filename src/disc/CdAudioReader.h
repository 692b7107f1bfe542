#pragma once

#include "disc/CdDisc.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

namespace disc {

//! Reads audio sectors of a disc in order through cdparanoia: its full mode
//! (overlapped, verified reads that repair jitter and dropped or doubled
//! bytes) with a bounded number of retries per sector. A sector it could not
//! correct is delivered as paranoia leaves it and counted as damaged; a disc
//! taken out of its drive ends the reading. The raw sectors of a drive come
//! from libcdio; those of a BIN image are read here, sector by sector at
//! 64-bit offsets with the stop looked at between sectors (libcdio's image
//! driver reaches no sector past byte 2^31).
class CdAudioReader {
public:
    //! Reads `sectors` raw sectors from `lsn` into `buffer`; the count read,
    //! or a negative number on a read error.
    using SectorRead = std::function<long(void* buffer, std::int32_t lsn, long sectors)>;

    //! Retries of one sector before paranoia gives it up.
    static constexpr int kMaxRetries = 20;

    enum class Result { Sector, Cancelled, Failed };

    explicit CdAudioReader(std::unique_ptr<CdDisc> disc);
    ~CdAudioReader();
    CdAudioReader(const CdAudioReader&) = delete;
    CdAudioReader& operator=(const CdAudioReader&) = delete;

    //! Prepares paranoia for the disc; false when the disc cannot be read.
    [[nodiscard]] bool open();

    //! Replaces the raw sector reads paranoia makes (the library's own by
    //! default) by `read`, which may call readRaw(): a way to see how reading
    //! copes with sectors that cannot be read.
    void setSectorRead(SectorRead read) { m_sectorRead = std::move(read); }
    //! The plain read of raw sectors: the drive's through the library, an
    //! image's from its file.
    long readRaw(void* buffer, std::int32_t lsn, long sectors);

    //! Reading stops soon after `flag` becomes true (null: never).
    void setCancelFlag(const std::atomic<bool>* flag) { m_cancel = flag; }

    //! The next sector read is `lsn`.
    void seek(std::int64_t lsn);

    //! Reads the next sector (2352 bytes) into `out`.
    Result read(char* out);

    //! The first sector paranoia could not correct, -1 when none so far (it
    //! may lie a little ahead of the sectors returned: paranoia reads ahead).
    std::int64_t firstDamagedSector() const { return m_firstDamaged; }

private:
    friend struct ReaderCallbacks;
    bool cancelled() const { return m_cancel && m_cancel->load(); }
    long readImage(void* buffer, std::int32_t lsn, long sectors);

    std::unique_ptr<CdDisc> m_disc;
    cdrom_drive_t* m_drive = nullptr;
    cdrom_paranoia_t* m_paranoia = nullptr;
    long (*m_libraryRead)(cdrom_drive_t*, void*, std::int32_t, long) = nullptr;
    SectorRead m_sectorRead;
    int m_imageFd = -1; // the BIN image's file, read without the library
    const std::atomic<bool>* m_cancel = nullptr;
    std::int64_t m_next = 0;
    std::int64_t m_firstDamaged = -1;
    bool m_skipped = false; // paranoia gave up sectors during the current read
};

} // namespace disc
