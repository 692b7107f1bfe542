#pragma once

#include <QString>

namespace convert {

class ConversionSession;

//! Converts `origfile` into a Windows Media Audio file at `outFile`. Reports
//! only through the session's row status protocol.
void ConvertToWMA(ConversionSession& session, const QString& origfile, const QString& outFile);

} // namespace convert
