#include "convert/ConvertToMP3_OGG.h"

#include "convert/ConversionSession.h"

// MP3 and OGG output are not built yet: the row ends "Error" and no file is made.
void ConvertToMP3_OGG(ConversionSession& session, const QString& /*origfile*/, const QString& /*outFile*/)
{
    session.releaseConversionStream();
    session.setOutcome(ConversionSession::Outcome::Error);
}
