#pragma once

#include "filelist/FileListRow.h"

#include <QString>
#include <optional>

//! The words and colours a row's state is shown with. The status and reason
//! words come in the current language for the window, and in English for the
//! command line and the error log, whatever the language.
namespace filelist::words {

//! Text colours of the statuses, as 0xRRGGBB. Each is the design's colour
//! (green RGB(113, 177, 98), amber, red RGB(220, 10, 10)) made darker at the
//! same hue and saturation until it reads at a contrast of 4.5:1 on the
//! grid's body colour RGB(255, 192, 192); the design's own colours reach
//! only 1.7:1 and 3.3:1 there.
inline constexpr quint32 kCompleteColor = 0x3A6331; // green: "Complete"
inline constexpr quint32 kDamagedColor = 0x854B00;  // amber: complete, but from a damaged input
inline constexpr quint32 kFailureColor = 0xB50808;  // red: "Cancelled", "Error", an unopenable file

//! The status of `row` as the grid shows it: "Waiting Conversion", the
//! progress figure while it converts ("37.5"), "Complete", "Cancelled",
//! "Error", "Codec Not Supported" or "Skipped", in the current language.
QString status(const FileListRow& row);
//! The word of `state` in English (a converting row reads "Converting").
QString englishStatus(RowState state);

//! The reason in the current language ("input damaged at 04:12 of 10:00").
QString reason(const RowReason& reason);
//! The reason in English.
QString englishReason(const RowReason& reason);

//! The status cell's text colour; none for a row waiting or converting.
std::optional<quint32> statusColor(RowState state);

//! The text a progress percentage is written as: the shortest decimal form of
//! the single-precision value with at most 7 significant digits ("37.5",
//! "100", "33.33333", "0.001574803").
QString progressText(float percent);

//! A playing time as "mm:ss", or "h:mm:ss" from one hour on.
QString playingTime(double seconds);

} // namespace filelist::words
