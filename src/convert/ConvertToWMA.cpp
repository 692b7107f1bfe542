#include "convert/ConvertToWMA.h"

#include "convert/ConversionSession.h"

// WMA output is not built yet: the row ends "Error" and no file is made.
void ConvertToWMA(ConversionSession& session, const QString& /*origfile*/, const QString& /*outFile*/)
{
    session.releaseConversionStream();
    session.setOutcome(ConversionSession::Outcome::Error);
}
