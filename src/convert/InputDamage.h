#pragma once

#include "engine/Bass.h"

#include <QString>

namespace convert {

//! Why a conversion that reached the end of its input still lost audio: the
//! decoder met damaged data, or the data ended well short of the length the
//! input states. "input damaged at 04:12 of 10:00" (where the damage began, of
//! the stated length); empty when the input was whole. `statedLength` is the
//! stream's length in bytes as read before the end, `endPosition` the bytes
//! decoded in all.
QString InputDamageReason(HSTREAM stream, QWORD statedLength, QWORD endPosition);

//! A playing time as "mm:ss", or "h:mm:ss" from one hour on.
QString playingTime(double seconds);

} // namespace convert
