#include "convert/ConvertToWAV.h"

#include "convert/CarryTags.h"
#include "convert/ConversionFailure.h"
#include "convert/ConversionSession.h"
#include "convert/ConversionStream.h"
#include "convert/ErrorLog.h"
#include "convert/InputDamage.h"
#include "convert/OutputFile.h"
#include "convert/RowLoudness.h"
#include "convert/StoppedOutput.h"
#include "convert/WavHeader.h"
#include "engine/AudioEngine.h"
#include "filelist/RowWords.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace convert {

namespace {

constexpr DWORD kChunkBytes = 20000;

// Largest data size whose RIFF size (data + 36) still fits a signed 32-bit field.
constexpr qint64 kMaxDataBytes = 2147483603;

QString tooLong()
{
    return QStringLiteral("the audio is longer than a WAV file can hold");
}

} // namespace

void ConvertToWAV(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    using Outcome = ConversionSession::Outcome;
    const ErrorLog log;

    session.releaseConversionStream();
    RowLoudness loudness(session, origfile, tags::TagFormat::Wav, BASS_STREAM_DECODE);
    if (!loudness.prepare())
        return;
    const HSTREAM stream = OpenConversionStream(session, log, origfile, BASS_STREAM_DECODE);
    if (stream == 0)
        return;

    // Every failure ends "Error" with its reason; whatever was written is
    // removed with the temporary file (the output keeps no half file).
    std::unique_ptr<OutputFile> output;
    auto fail = [&](const QString& reason, int code = BASS_ERROR_UNKNOWN) {
        session.freeConversionStream();
        if (output)
            output->discard();
        EndWithError(session, log, origfile, code, reason);
    };

    BASS_CHANNELINFO info;
    float rate = 0;
    if (!loudness.attach(stream) || !BASS_ChannelGetInfo(stream, &info) ||
        !BASS_ChannelGetAttribute(stream, BASS_ATTRIB_FREQ, &rate)) {
        const int code = BASS_ErrorGetCode();
        fail(engine::BassErrorText(code), code);
        return;
    }
    session.channelInfo = info;

    // The header states the channels the engine delivers, so header and data
    // always agree (also for more than two channels).
    WavHeader header;
    header.channels = quint16(info.chans);
    header.sampleRate = quint32(std::lround(rate));
    header.bitsPerSample = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
    header.fillDerived();

    // A MIDI file is rendered to exactly the length its events give, known
    // from the start: one too long for a WAV file is refused before hours of
    // audio are rendered only to be thrown away.
    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    if (info.ctype == BASS_CTYPE_STREAM_MIDI && length != QWORD(-1) && length > QWORD(kMaxDataBytes)) {
        fail(tooLong());
        return;
    }

    QString why;
    output = OutputFile::create(outFile, &why);
    if (!output) {
        fail(why, BASS_ERROR_CREATE);
        return;
    }
    const QByteArray bytes = header.bytes();
    if (!output->write(bytes.constData(), 12) || !output->write(bytes.constData() + 12, 24) ||
        !output->write(bytes.constData() + 36, 8)) {
        fail(output->error(), BASS_ERROR_CREATE);
        return;
    }

    std::vector<char> buffer(kChunkBytes);
    qint64 written = 0;
    Outcome outcome = Outcome::Complete;
    for (;;) {
        if (BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
            break;
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), kChunkBytes);
        if (got == DWORD(-1)) {
            const int code = BASS_ErrorGetCode();
            fail(engine::BassErrorText(code), code);
            return;
        }
        if (written + qint64(got) > kMaxDataBytes) {
            fail(tooLong());
            return;
        }
        if (!output->write(buffer.data(), got)) {
            fail(output->error(), BASS_ERROR_CREATE);
            return;
        }
        loudness.feed(buffer.data(), got);
        written += got;
        const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        if (!session.reportProgress(position, length)) {
            fail(engine::BassErrorText(BASS_ERROR_UNKNOWN));
            return;
        }
        session.yield();
        if (session.cancelRequested()) {
            outcome = Outcome::Cancelled;
            break;
        }
    }
    const filelist::RowReason damage =
        outcome == Outcome::Complete ? InputDamageReason(stream, length, QWORD(written)) : filelist::RowReason();
    const double seconds = std::max(0.0, BASS_ChannelBytes2Seconds(stream, QWORD(written)));
    session.freeConversionStream();

    // The sizes describe the bytes really in the file, so a stopped
    // conversion keeps a valid, shorter WAV.
    const QByteArray sizes = WavHeader::sizeField(quint32(written + WavHeader::kSize - 8));
    const QByteArray dataSize = WavHeader::sizeField(quint32(written));
    if (!output->writeAt(4, sizes.constData(), sizes.size()) ||
        !output->writeAt(40, dataSize.constData(), dataSize.size())) {
        fail(output->error(), BASS_ERROR_CREATE);
        return;
    }
    if (outcome == Outcome::Cancelled) {
        KeepStoppedOutput(session, *output, seconds);
        session.setOutcome(outcome);
        return;
    }
    // The complete file exists under its temporary name here; commit() gives
    // it the final one.
    if (const QString failure = CarryTags(session.options(), origfile, output->temporaryPath(), tags::TagFormat::Wav);
        !failure.isEmpty()) {
        fail(failure, BASS_ERROR_CREATE);
        return;
    }
    if (!loudness.tag(output->temporaryPath())) {
        fail(ReplayGainTagFailure(), BASS_ERROR_CREATE);
        return;
    }
    if (!output->commit()) {
        fail(output->error(), BASS_ERROR_CREATE);
        return;
    }
    session.outputMade = output->finalPath();
    loudness.done();
    session.setOutcome(outcome, damage);
    if (!damage.isEmpty())
        log.append(BASS_ERROR_UNKNOWN, origfile, filelist::words::englishReason(damage));
}

} // namespace convert
