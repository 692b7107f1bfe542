#include "convert/ConvertToMP3_OGG.h"

#include "convert/AudioLength.h"
#include "convert/CarryTags.h"
#include "convert/ConversionFailure.h"
#include "convert/ConversionSession.h"
#include "convert/DecodeProgress.h"
#include "convert/EncoderCommand.h"
#include "convert/ErrorLog.h"
#include "convert/GrowthRefusal.h"
#include "convert/OutputFile.h"
#include "convert/RowLoudness.h"
#include "convert/StoppedOutput.h"
#include "engine/AudioEngine.h"
#include "engine/EncoderHook.h"
#include "filelist/RowWords.h"
#include "options/FormatOptions.h"
#include "platform/FileName.h"
#include "platform/ProgramFolder.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace convert {

namespace {

using Outcome = ConversionSession::Outcome;

// Large reads keep the number of yields and status updates low.
constexpr DWORD kReadBytes = 0x40000;
// How far from its input's length a complete output may decode: the rounding
// of a resampled length. A file the encoder did not finish is a frame or more
// off (a shorter end, or the delay and padding of an MP3 left untrimmed).
constexpr double kLengthTolerance = 0.001;

//! Why the encoder failed: the system's reason when the file it writes
//! cannot grow (a full disk, a quota: the encoders only say that writing
//! failed), else what went wrong, with the last line it wrote on its
//! standard error (its own complaint) when there is one.
QString encoderFailure(const engine::EncoderOutcome& outcome, const OutputFile& output)
{
    if (QString refusal = GrowthRefusal(output.temporaryPath()); !refusal.isEmpty())
        return refusal;
    const QString problem = QString::fromStdString(outcome.problem);
    const QString complaint = lastErrorLine(QByteArray::fromStdString(outcome.errorOutput));
    if (complaint.isEmpty())
        return problem.isEmpty() ? engine::BassErrorText(BASS_ERROR_UNKNOWN) : problem;
    return problem.isEmpty() ? complaint : problem + QStringLiteral(": ") + complaint;
}

} // namespace

void ConvertToMP3_OGG(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    const ErrorLog log;
    session.releaseConversionStream();

    const options::FormatOptions& options = session.options();
    const bool mp3 = options.optFileFormat(options::FormatOptions::MP3).Value();
    // lame takes mono and stereo only: a film's surround sound is mixed down.
    const DWORD flags = BASS_STREAM_DECODE | (mp3 ? BASS_STREAM_DOWNMIX : 0);
    const tags::TagFormat format = mp3 ? tags::TagFormat::Mp3 : tags::TagFormat::Ogg;
    RowLoudness loudness(session, origfile, format, flags);
    if (!loudness.prepare())
        return;
    session.conversionStream = engine::OpenStream(false, origfile, 0, 0, flags);
    const HSTREAM stream = session.conversionStream;
    if (stream == 0) {
        const int code = BASS_ErrorGetCode();
        EndWithError(session, log, origfile, code, engine::BassErrorText(code));
        return;
    }
    if (!loudness.attach(stream)) {
        EndWithError(session, log, origfile, BASS_ERROR_UNKNOWN, engine::BassErrorText(BASS_ERROR_UNKNOWN));
        return;
    }
    BASS_ChannelGetInfo(stream, &session.channelInfo);

    QString why;
    std::unique_ptr<OutputFile> output = OutputFile::create(outFile, &why);
    if (!output) {
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, why);
        return;
    }
    // The encoder writes the temporary file itself: it can then go back to
    // its start when the audio has ended, where lame puts the frame that
    // tells players its delay and padding, so the MP3 decodes exactly as
    // long as its input.
    const QString commandLine = BuildEncoderCommandLine(options, output->temporaryPath(), platform::programFolder());
    if (commandLine.isEmpty())
        return;
    if (BASS_Encode_Start(stream, platform::nativeName(commandLine).constData(), 0, nullptr, nullptr) == 0) {
        const int code = BASS_ErrorGetCode();
        output->discard();
        EndWithError(session, log, origfile, code, QString::fromStdString(engine::lastEncoderOutcome().problem));
        return;
    }
    // Waiting on a slow or hung encoder still lets Stop through.
    engine::setEncoderWaitHook(stream, [&session] { return session.stopRequestedWhileWaiting(); });

    // Any failure while the audio is pumped: "Error", and the engine's error
    // logged. The encoder is stopped and the stream freed so that no encoder
    // waits for input that will never come; what was written is removed.
    auto fail = [&](int code, const QString& reason) {
        // The conversion failed already; the encoder's own ending adds nothing.
        static_cast<void>(BASS_Encode_Stop(stream));
        session.freeConversionStream();
        output->discard();
        EndWithError(session, log, origfile, code, reason);
    };

    std::vector<char> buffer(kReadBytes + 1);
    bool encoderEnded = false;
    bool cancelled = false;
    DecodeProgress progress(stream);
    for (;;) {
        if (BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
            break;
        // What is read goes to the encoder; here it is only measured.
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), kReadBytes);
        if (got == DWORD(-1)) {
            const int code = BASS_ErrorGetCode();
            fail(code, engine::BassErrorText(code));
            return;
        }
        loudness.feed(buffer.data(), got);
        session.yield();
        if (!progress.report(session)) {
            fail(BASS_ERROR_UNKNOWN, engine::BassErrorText(BASS_ERROR_UNKNOWN));
            return;
        }
        // Stop first: a stop while the encoder was waited on ends its feeding.
        if (session.cancelRequested()) {
            cancelled = true;
            break;
        }
        // An encoder that ended while it was still being fed has failed (it
        // refused its options or the audio): no point decoding on.
        if (BASS_Encode_IsActive(stream) == BASS_ACTIVE_STOPPED) {
            encoderEnded = true;
            break;
        }
    }
    const filelist::RowReason damage = cancelled || encoderEnded ? filelist::RowReason() : progress.damage();
    const double decodedSeconds = progress.seconds(); // while the stream is there

    // Closing the encoder's input lets it finish the file; a stopped
    // conversion thereby keeps a shorter file.
    const bool encoderOk = BASS_Encode_Stop(stream) && !encoderEnded;
    const int stopCode = BASS_ErrorGetCode();
    const engine::EncoderOutcome outcome = engine::lastEncoderOutcome();
    session.freeConversionStream();

    if (cancelled) {
        // The shorter file is kept when the encoder made any audio of it,
        // under a name that says how much it holds: what was decoded for it
        // may still have been in the pipe or the encoder when it ended.
        const std::optional<AudioLength> kept = MeasureAudioLength(output->temporaryPath());
        if (kept && kept->frames > 0)
            KeepStoppedOutput(session, *output, std::min(kept->seconds(), decodedSeconds));
        else
            output->discard();
        session.setOutcome(Outcome::Cancelled);
        return;
    }
    if (!encoderOk) {
        const QString reason = encoderFailure(outcome, *output);
        output->discard();
        EndWithError(session, log, origfile, stopCode != BASS_OK ? stopCode : BASS_ERROR_UNKNOWN, reason);
        return;
    }
    if (output->size() <= 0) {
        output->discard();
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, QStringLiteral("the encoder wrote no audio"));
        return;
    }
    // An encoder does not always notice that its file could not take
    // everything (lame ends well when the write as it closes the file fails):
    // the audio in the file is checked against the audio it was given. A
    // cut file is shorter; an MP3 that lame did not finish is also longer,
    // as the frame that tells its delay and padding is written last. (An Ogg
    // stream shorter than one Vorbis block reads as a whole block.)
    const std::optional<AudioLength> made = MeasureAudioLength(output->temporaryPath());
    const double shortBy = made ? decodedSeconds - made->seconds() : decodedSeconds;
    if (!made || shortBy > kLengthTolerance || (mp3 && -shortBy > kLengthTolerance)) {
        QString reason = GrowthRefusal(output->temporaryPath());
        if (reason.isEmpty())
            reason = QStringLiteral("the encoder's file decodes to %1 s of the %2 s of audio it was given")
                         .arg(made ? made->seconds() : 0.0, 0, 'f', 3)
                         .arg(decodedSeconds, 0, 'f', 3);
        output->discard();
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, reason);
        return;
    }
    // The complete file exists under its temporary name here; commit() gives
    // it the final one.
    if (const QString failure = CarryTags(options, origfile, output->temporaryPath(), format); !failure.isEmpty()) {
        output->discard();
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, failure);
        return;
    }
    if (!loudness.tag(output->temporaryPath())) {
        output->discard();
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, ReplayGainTagFailure());
        return;
    }
    if (!output->commit()) {
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, output->error());
        return;
    }
    session.outputMade = output->finalPath();
    loudness.done();
    session.setOutcome(Outcome::Complete, damage);
    if (!damage.isEmpty())
        log.append(BASS_ERROR_UNKNOWN, origfile, filelist::words::englishReason(damage));
}

} // namespace convert
