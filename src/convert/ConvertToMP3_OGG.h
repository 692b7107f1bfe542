#pragma once

#include <QString>

namespace convert {

class ConversionSession;

//! Converts `origfile` into MP3 or Ogg Vorbis at `outFile` with the external
//! encoder the selected format option names. Reports only through the
//! session's row status protocol.
void ConvertToMP3_OGG(ConversionSession& session, const QString& origfile, const QString& outFile);

} // namespace convert
