#include "convert/ConvertToFLAC_OPUS_AAC.h"

#include "convert/ConversionFailure.h"
#include "convert/ConversionSession.h"
#include "convert/ConversionStream.h"
#include "convert/ErrorLog.h"
#include "convert/FileEncoderPump.h"
#include "convert/OutputFile.h"
#include "convert/RowLoudness.h"
#include "engine/AudioEngine.h"
#include "options/FormatOptions.h"
#include "platform/FileName.h"

namespace convert {

namespace {

using options::FormatOptions;

// Large reads keep the number of yields and status updates low.
constexpr DWORD kChunkBytes = 0x40000;
constexpr DWORD kBitsPerKbit = 1000;

//! Opens the encoder of the chosen format for the stream's PCM, with the
//! options of its page; 0 when it refuses.
HENCODE openEncoder(const FormatOptions& options, const BASS_CHANNELINFO& info, const QString& outFile)
{
    const QByteArray file = platform::nativeName(outFile);
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

tags::TagFormat tagFormat(const FormatOptions& options)
{
    switch (options.selectedFormat()) {
    case FormatOptions::FLAC:
        return tags::TagFormat::Flac;
    case FormatOptions::OPUS:
        return tags::TagFormat::Opus;
    default:
        return tags::TagFormat::Mp4;
    }
}

} // namespace

void ConvertToFLAC_OPUS_AAC(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    const ErrorLog log;
    session.releaseConversionStream();

    // Float samples carry 24-bit sources whole; the encoders keep every channel.
    const DWORD flags = BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT;
    const tags::TagFormat format = tagFormat(session.options());
    RowLoudness loudness(session, origfile, format, flags);
    if (!loudness.prepare())
        return;
    const HSTREAM stream = OpenConversionStream(session, log, origfile, flags);
    if (stream == 0)
        return;
    if (!loudness.attach(stream)) {
        EndWithError(session, log, origfile, BASS_ERROR_UNKNOWN, engine::BassErrorText(BASS_ERROR_UNKNOWN));
        return;
    }
    BASS_ChannelGetInfo(stream, &session.channelInfo);
    const BASS_CHANNELINFO& info = session.channelInfo;

    QString why;
    std::unique_ptr<OutputFile> output = OutputFile::create(outFile, &why);
    if (!output) {
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, why);
        return;
    }
    // The encoder writes the temporary file; it gets its name once complete.
    const HENCODE encoder = openEncoder(session.options(), info, output->temporaryPath());
    if (encoder == 0) {
        const int code = BASS_ErrorGetCode();
        output->discard();
        EndWithError(session, log, origfile, code, engine::BassErrorText(code));
        return;
    }
    PumpToFileEncoder(
        session, log, origfile, *output, kChunkBytes,
        {[encoder](const char* data, unsigned length) { return BASS_Encode_FileWrite(encoder, data, length); },
         [encoder] { return BASS_Encode_FileClose(encoder); }},
        format, loudness);
}

} // namespace convert
