#pragma once

#include <QString>
#include <QStringList>

namespace bench {

//! Nine inputs in `folder`, made once: three each of FLAC, MP3 (192 kbit/s)
//! and Ogg Vorbis (quality 5), of slightly different lengths, `minutes` of
//! the two-tone sweep in all. Empty when one could not be made.
QStringList mixedInputs(const QString& folder, int minutes);

} // namespace bench
