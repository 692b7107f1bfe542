#pragma once

#include <QString>

namespace convert {

class ConversionSession;

//! Converts `origfile` into an uncompressed PCM WAV file at `outFile`, which
//! must not exist yet (an existing file is never overwritten: the row ends
//! "Error"). Reports only through the session's row status protocol.
void ConvertToWAV(ConversionSession& session, const QString& origfile, const QString& outFile);

} // namespace convert
