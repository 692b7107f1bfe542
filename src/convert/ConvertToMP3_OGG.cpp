#include "convert/ConvertToMP3_OGG.h"

#include "platform/ProgramFolder.h"
#include "convert/CarryTags.h"
#include "convert/ConversionSession.h"
#include "convert/EncoderCommand.h"
#include "convert/EncoderOutput.h"
#include "convert/ErrorLog.h"
#include "engine/AudioEngine.h"
#include "options/FormatOptions.h"

#include <vector>

namespace {

using Outcome = ConversionSession::Outcome;

// Large reads keep the number of yields and status updates low.
constexpr DWORD kReadBytes = 0x40000;

//! Ends the row "Error" for an engine error found along the way and logs it.
//! The status comes first, so a log that cannot be written leaves it "Error".
void endWithEngineError(ConversionSession& session, const convert::ErrorLog& log, int code, const QString& origfile)
{
    // The fixed English text: the engine's errors are reported untranslated.
    session.setStatusText(QStringLiteral("Error"), ConversionSession::kFailureColor);
    log.append(code, origfile);
}

} // namespace

void ConvertToMP3_OGG(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    const convert::ErrorLog log;
    session.releaseConversionStream();

    const options::FormatOptions& options = session.options();
    const bool mp3 = options.optFileFormat(options::FormatOptions::MP3).Value();
    // lame takes mono and stereo only: a film's surround sound is mixed down.
    const DWORD flags = BASS_STREAM_DECODE | (mp3 ? BASS_STREAM_DOWNMIX : 0);
    session.hConvertStream = OpenStream(false, origfile, 0, 0, flags);
    const HSTREAM stream = session.hConvertStream;
    if (stream == 0) {
        endWithEngineError(session, log, BASS_ErrorGetCode(), origfile);
        return;
    }
    BASS_ChannelGetInfo(stream, &session.channelInfo);

    const QString commandLine = convert::BuildEncoderCommandLine(options, outFile, programFolder());
    if (commandLine.isEmpty())
        return;

    convert::EncoderOutput output(outFile);
    if (!output.claim()) {
        endWithEngineError(session, log, BASS_ERROR_CREATE, origfile);
        return;
    }
    if (BASS_Encode_Start(stream, commandLine.toUtf8().constData(), 0, nullptr, nullptr) == 0) {
        const int code = BASS_ErrorGetCode();
        output.dropIfEmpty();
        endWithEngineError(session, log, code, origfile);
        return;
    }

    // Any failure while the audio is pumped: "Error", and the engine's error
    // logged when it has one. The encoder is stopped and the stream freed so
    // that no encoder waits for input that will never come.
    auto fail = [&] {
        const int code = BASS_ErrorGetCode();
        session.setOutcome(Outcome::Error);
        BASS_Encode_Stop(stream);
        session.freeConversionStream();
        output.dropIfEmpty();
        if (code > 0)
            log.append(code, origfile);
    };

    std::vector<char> buffer(kReadBytes + 1);
    bool encoderEnded = false;
    bool cancelled = false;
    for (;;) {
        if (BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
            break;
        // What is read goes to the encoder; the bytes themselves are not used here.
        if (BASS_ChannelGetData(stream, buffer.data(), kReadBytes) == DWORD(-1)) {
            fail();
            return;
        }
        session.yield();
        const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
        const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        if (!session.reportProgress(position, length)) {
            fail();
            return;
        }
        // An encoder that ended while it was still being fed has failed (it
        // refused its options, its output or the audio): no point decoding on.
        if (BASS_Encode_IsActive(stream) == BASS_ACTIVE_STOPPED) {
            encoderEnded = true;
            break;
        }
        if (session.cancelRequested()) {
            cancelled = true;
            break;
        }
    }

    // Closing the encoder's input lets it finish the file; a cancelled
    // conversion thereby keeps a shorter file.
    const bool encoderOk = BASS_Encode_Stop(stream) && !encoderEnded;
    const int stopCode = BASS_ErrorGetCode();
    session.freeConversionStream();

    if (cancelled) {
        session.setOutcome(Outcome::Cancelled);
        if (!encoderOk)
            log.append(stopCode != BASS_OK ? stopCode : BASS_ERROR_UNKNOWN, origfile);
        return;
    }
    if (!encoderOk) {
        output.dropIfEmpty();
        endWithEngineError(session, log, stopCode != BASS_OK ? stopCode : BASS_ERROR_UNKNOWN, origfile);
        return;
    }
    if (!output.hasContent()) {
        output.dropIfEmpty();
        endWithEngineError(session, log, BASS_ERROR_CREATE, origfile);
        return;
    }
    convert::CarryTags(options, origfile, outFile, mp3 ? convert::TagFormat::Mp3 : convert::TagFormat::Ogg);
    session.setOutcome(Outcome::Complete);
}
