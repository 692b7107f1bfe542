#pragma once

#include "engine/Bass.h"

#include <QString>

namespace convert {

class ConversionSession;
class ErrorLog;

//! Opens `origfile` for decoding with `flags` as the session's conversion
//! stream. When the engine cannot open it, ends the row "Error" with the
//! engine's reason, logs it and gives 0; no output file is made then.
HSTREAM OpenConversionStream(ConversionSession& session, const ErrorLog& log, const QString& origfile, DWORD flags);

} // namespace convert
