#pragma once

#include <QString>

namespace convert {

class ConversionSession;

//! Converts `origfile` into a FLAC, Opus or AAC (.m4a) file at `outFile`,
//! whichever of the three formats is chosen, with FFmpeg's encoders in the
//! engine. Reports only through the session's row status protocol.
void ConvertToFLAC_OPUS_AAC(ConversionSession& session, const QString& origfile, const QString& outFile);

} // namespace convert
