#include "convert/FileEncoderPump.h"

#include "convert/CarryTags.h"
#include "convert/ConversionFailure.h"
#include "convert/ConversionSession.h"
#include "convert/DecodeProgress.h"
#include "convert/ErrorLog.h"
#include "convert/GaplessInfo.h"
#include "convert/GrowthRefusal.h"
#include "convert/OutputFile.h"
#include "convert/RowLoudness.h"
#include "convert/StoppedOutput.h"
#include "engine/AudioEngine.h"
#include "engine/FfmpegEncoder.h"
#include "filelist/RowWords.h"
#include "platform/SystemError.h"

#include <cstring>
#include <vector>

namespace convert {

QString FileEncoderFailure(int code)
{
    if (const int error = engine::lastEncoderSystemError(); error != 0)
        return platform::systemErrorText(error);
    return engine::BassErrorText(code);
}

void PumpToFileEncoder(ConversionSession& session, const ErrorLog& log, const QString& origfile, OutputFile& output,
                       unsigned chunkBytes, const FileEncoderCalls& encoder, tags::TagFormat format,
                       RowLoudness& loudness)
{
    using Outcome = ConversionSession::Outcome;
    const HSTREAM stream = session.conversionStream;
    std::vector<char> buffer(chunkBytes);
    Outcome outcome = Outcome::Complete;
    int code = BASS_OK;
    QString reason;
    filelist::RowReason damage;
    DecodeProgress progress(stream);
    while (BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), chunkBytes);
        if (got == DWORD(-1) || !encoder.write(buffer.data(), got)) {
            code = BASS_ErrorGetCode();
            reason = FileEncoderFailure(code);
            outcome = Outcome::Error;
            break;
        }
        loudness.feed(buffer.data(), got);
        session.yield();
        if (!progress.report(session)) {
            code = BASS_ERROR_UNKNOWN;
            reason = engine::BassErrorText(code);
            outcome = Outcome::Error;
            break;
        }
        session.yield();
        if (session.cancelRequested()) {
            outcome = Outcome::Cancelled;
            break;
        }
    }
    if (outcome == Outcome::Complete)
        damage = progress.damage();

    // Closing finishes the file (a cancelled one is kept, shorter); a file
    // that cannot be finished is not complete.
    if (!encoder.close() && outcome != Outcome::Error) {
        code = BASS_ErrorGetCode();
        reason = FileEncoderFailure(code);
        outcome = Outcome::Error;
    }
    const engine::EncoderPadding padding = engine::lastEncoderPadding();
    const double seconds = progress.seconds();
    session.freeConversionStream();
    if (outcome == Outcome::Cancelled) {
        KeepStoppedOutput(session, output, seconds);
        session.setOutcome(outcome);
        return;
    }
    // The complete file exists under its temporary name here; commit() gives
    // it the final one.
    if (outcome == Outcome::Complete) {
        if (QString failure = CarryTags(session.options(), origfile, output.temporaryPath(), format);
            !failure.isEmpty()) {
            code = BASS_ERROR_CREATE;
            reason = std::move(failure);
            outcome = Outcome::Error;
        } else if (format == tags::TagFormat::Mp4 && !WriteGaplessInfo(output.temporaryPath(), padding)) {
            code = BASS_ERROR_CREATE;
            reason = GrowthRefusal(output.temporaryPath());
            if (reason.isEmpty())
                reason = GaplessInfoFailure();
            outcome = Outcome::Error;
        } else if (!loudness.tag(output.temporaryPath())) {
            code = BASS_ERROR_CREATE;
            reason = ReplayGainTagFailure();
            outcome = Outcome::Error;
        }
    }
    if (outcome != Outcome::Error && !output.commit()) {
        code = BASS_ERROR_CREATE;
        reason = output.error();
        outcome = Outcome::Error;
    }
    if (outcome == Outcome::Error) {
        output.discard();
        EndWithError(session, log, origfile, code, reason);
        return;
    }
    session.outputMade = output.finalPath();
    if (outcome == Outcome::Complete)
        loudness.done();
    session.setOutcome(outcome, damage);
    if (!damage.isEmpty())
        log.append(BASS_ERROR_UNKNOWN, origfile, filelist::words::englishReason(damage));
}

} // namespace convert
