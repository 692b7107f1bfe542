#pragma once

#include <QString>

namespace convert {

class ConversionSession;
class ErrorLog;

//! Ends the row "Error" (localized) with `reason` as its tooltip, then
//! appends the log line for the engine error `code` (BASS_ERROR_UNKNOWN when
//! the engine had none) with the reason. The status comes first, so a log
//! that cannot be written leaves it "Error".
void EndWithError(ConversionSession& session, const ErrorLog& log, const QString& origfile, int code,
                  const QString& reason);

//! The last line of an encoder's standard error with text in it, trimmed.
QString lastErrorLine(const QByteArray& errorOutput);

} // namespace convert
