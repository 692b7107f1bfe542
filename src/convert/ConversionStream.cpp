#include "convert/ConversionStream.h"

#include "convert/ConversionFailure.h"
#include "convert/ConversionSession.h"
#include "engine/AudioEngine.h"
#include "engine/ChannelHealth.h"

namespace convert {

HSTREAM OpenConversionStream(ConversionSession& session, const ErrorLog& log, const QString& origfile, DWORD flags)
{
    session.conversionStream = engine::OpenStream(false, origfile, 0, 0, flags);
    if (session.conversionStream == 0) {
        const int code = BASS_ErrorGetCode();
        EndWithError(session, log, origfile, code, engine::BassErrorText(code));
        return 0;
    }
    // A disc drive retrying a bad sector answers a stop within half a second.
    engine::setChannelCancelFlag(session.conversionStream, &session.state().bCancelConversion);
    return session.conversionStream;
}

} // namespace convert
