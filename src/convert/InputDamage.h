#pragma once

#include "engine/Bass.h"
#include "filelist/RowState.h"

namespace convert {

//! Why a conversion that reached the end of its input still lost audio: the
//! decoder met damaged data, or the data ended well short of the length the
//! input states. The reason holds where the damage began and the stated
//! length, in seconds (worded "input damaged at 04:12 of 10:00" where it is
//! shown); else, when the input held samples that were no finite numbers,
//! "input holds invalid samples"; empty when the input was whole. `statedLength` is the stream's
//! length in bytes as read before the end, `endPosition` the bytes decoded
//! in all.
filelist::RowReason InputDamageReason(HSTREAM stream, QWORD statedLength, QWORD endPosition);

} // namespace convert
