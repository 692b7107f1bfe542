#include "convert/ConvertToFLAC_OPUS_AAC.h"

#include "convert/ConversionSession.h"
#include "convert/EncoderOutput.h"
#include "engine/AudioEngine.h"
#include "options/FormatOptions.h"

#include <vector>

namespace {

using Outcome = ConversionSession::Outcome;
using options::FormatOptions;

// Large reads keep the number of yields and status updates low.
constexpr DWORD kChunkBytes = 0x40000;
constexpr DWORD kBitsPerKbit = 1000;

//! Opens the encoder of the chosen format for the stream's PCM, with the
//! options of its page; 0 when it refuses.
HENCODE openEncoder(const FormatOptions& options, const BASS_CHANNELINFO& info, const QString& outFile)
{
    const QByteArray file = outFile.toUtf8();
    switch (options.selectedFormat()) {
    case FormatOptions::FLAC:
        // Up to 24 bits of the source are kept; lossy and 16-bit sources give 16.
        return BASS_Encode_FLAC_OpenFile(info.freq, info.chans, info.flags, DWORD(options.sliderFLACLevel.Value()),
                                         info.origres, file.constData());
    case FormatOptions::OPUS:
        return BASS_Encode_OPUS_OpenFile(
            info.freq, info.chans, info.flags, DWORD(options.sliderOpusBitrate.Value()) * kBitsPerKbit,
            options.optOpusVoIP.Value() ? BASS_ENCODE_OPUS_VOIP : BASS_ENCODE_OPUS_AUDIO, file.constData());
    case FormatOptions::AAC:
        return BASS_Encode_AAC_OpenFile(info.freq, info.chans, info.flags,
                                        DWORD(options.sliderAACBitrate.Value()) * kBitsPerKbit, file.constData());
    default:
        return 0;
    }
}

} // namespace

void ConvertToFLAC_OPUS_AAC(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    session.releaseConversionStream();

    // Float samples carry 24-bit sources whole; the encoders keep every channel.
    session.hConvertStream = OpenStream(false, origfile, 0, 0, BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT);
    const HSTREAM stream = session.hConvertStream;
    if (stream == 0) {
        session.setOutcome(Outcome::Error);
        return;
    }
    BASS_ChannelGetInfo(stream, &session.channelInfo);
    const BASS_CHANNELINFO& info = session.channelInfo;

    convert::EncoderOutput output(outFile);
    if (!output.claim()) {
        session.setOutcome(Outcome::Error);
        return;
    }
    const HENCODE encoder = openEncoder(session.options(), info, outFile);
    if (encoder == 0) {
        output.dropIfEmpty();
        session.setOutcome(Outcome::Error);
        return;
    }

    std::vector<char> buffer(kChunkBytes);
    Outcome outcome = Outcome::Complete;
    while (BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), kChunkBytes);
        if (got == DWORD(-1) || !BASS_Encode_FileWrite(encoder, buffer.data(), got)) {
            outcome = Outcome::Error;
            break;
        }
        session.yield();
        const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
        const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        if (!session.reportProgress(position, length)) {
            outcome = Outcome::Error;
            break;
        }
        session.yield();
        if (session.cancelRequested()) {
            outcome = Outcome::Cancelled;
            break;
        }
    }

    // Closing finishes the file (a cancelled one is kept, shorter); a file
    // that cannot be finished is not complete.
    if (!BASS_Encode_FileClose(encoder) && outcome == Outcome::Complete)
        outcome = Outcome::Error;
    session.setOutcome(outcome);
    session.freeConversionStream();
}
