#pragma once

#include "disc/CdAudioReader.h"

namespace testsupport {

//! A raw sector read for `reader` as a drive with a scratch does it: sectors
//! `from` up to `to` fail every read, and a read that runs into them returns
//! the sectors before them (the count read), or fails when it begins there.
inline disc::CdAudioReader::SectorRead failingSectors(disc::CdAudioReader* reader, std::int32_t from, std::int32_t to)
{
    return [reader, from, to](void* buffer, std::int32_t lsn, long sectors) -> long {
        if (lsn >= from && lsn < to)
            return -1;
        if (lsn < from && lsn + sectors > from)
            sectors = from - lsn;
        return reader->readRaw(buffer, lsn, sectors);
    };
}

} // namespace testsupport
