#include "convert/ConvertToWMA.h"

#include "convert/ConversionFailure.h"
#include "convert/ConversionSession.h"
#include "convert/ConversionStream.h"
#include "convert/ErrorLog.h"
#include "convert/FileEncoderPump.h"
#include "convert/OutputFile.h"
#include "convert/RowLoudness.h"
#include "convert/WmaBitrateList.h"
#include "engine/AudioEngine.h"
#include "engine/ResampleChannel.h"
#include "options/FormatOptions.h"
#include "platform/FileName.h"

#include <vector>

namespace convert {

namespace {

constexpr DWORD kChunkBytes = 20000;
constexpr DWORD kTagFormAnsi = 0;

//! Ends the encoder's tag list before any audio. The tags themselves (the
//! input's and the WMA page's boxes) are written into the finished file by
//! CarryTags, as for every other format. False when the file's header could
//! not be written.
[[nodiscard]] bool endTags(HWMENCODE encoder)
{
    return BASS_WMA_EncodeSetTag(encoder, "", "", kTagFormAnsi);
}

//! The sample rate to encode `freq` at: `freq` itself when the encoder has
//! bit rates for it, else the nearest rate it has (0 when none).
DWORD encoderRate(DWORD freq, DWORD chans)
{
    static constexpr DWORD kRates[] = {48000, 44100, 32000, 22050, 16000, 11025, 8000};
    auto offered = [chans](DWORD rate) {
        const DWORD* rates = BASS_WMA_EncodeGetRates(rate, chans, BASS_WMA_ENCODE_STANDARD);
        return rates && rates[0] != 0;
    };
    if (offered(freq))
        return freq;
    DWORD best = 0;
    for (const DWORD rate : kRates) {
        const DWORD distance = rate > freq ? rate - freq : freq - rate;
        const DWORD bestDistance = best > freq ? best - freq : freq - best;
        if (offered(rate) && (best == 0 || distance < bestDistance))
            best = rate;
    }
    return best;
}

} // namespace

void ConvertToWMA(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    const ErrorLog log;
    session.releaseConversionStream();
    BASS_SetConfig(BASS_CONFIG_WMA_BASSFILE, 1);

    // The encoder takes 16-bit mono or stereo: more channels are mixed down.
    const DWORD flags = BASS_STREAM_DECODE | BASS_STREAM_DOWNMIX;
    RowLoudness loudness(session, origfile, tags::TagFormat::Wma, flags);
    if (!loudness.prepare())
        return;
    const HSTREAM stream = OpenConversionStream(session, log, origfile, flags);
    if (stream == 0)
        return;
    BASS_ChannelGetInfo(stream, &session.channelInfo);
    BASS_CHANNELINFO& info = session.channelInfo;

    // A rate the encoder has no bit rates for (above 48 kHz) is resampled to
    // the nearest one it has.
    if (const DWORD rate = encoderRate(info.freq, info.chans); rate != info.freq) {
        if (rate == 0 || !engine::resampleDecodingStream(stream, rate)) {
            EndWithError(session, log, origfile, BASS_ERROR_FORMAT, engine::BassErrorText(BASS_ERROR_FORMAT));
            return;
        }
        BASS_ChannelGetInfo(stream, &info);
    }
    if (!loudness.attach(stream)) {
        EndWithError(session, log, origfile, BASS_ERROR_UNKNOWN, engine::BassErrorText(BASS_ERROR_UNKNOWN));
        return;
    }

    // A conversion never runs while the window is still loading.
    const int bitrate = GetWMABitRateFromQuality(session.cmbWMAEncodingBitrate, false, info.freq, info.chans,
                                                 session.options().sliderWMA.Value());
    if (bitrate <= 0) {
        EndWithError(session, log, origfile, BASS_ERROR_FORMAT, engine::BassErrorText(BASS_ERROR_FORMAT));
        return;
    }
    QString why;
    std::unique_ptr<OutputFile> output = OutputFile::create(outFile, &why);
    if (!output) {
        EndWithError(session, log, origfile, BASS_ERROR_CREATE, why);
        return;
    }
    // The encoder writes the temporary file; it gets its name once complete.
    const HWMENCODE encoder = BASS_WMA_EncodeOpenFile(info.freq, info.chans, BASS_WMA_ENCODE_STANDARD, DWORD(bitrate),
                                                      platform::nativeName(output->temporaryPath()).constData());
    if (encoder == 0) {
        const int code = BASS_ErrorGetCode();
        output->discard();
        EndWithError(session, log, origfile, code, engine::BassErrorText(code));
        return;
    }
    if (!endTags(encoder)) {
        const int code = BASS_ErrorGetCode();
        // The file is thrown away, so how its closing goes does not matter.
        static_cast<void>(BASS_WMA_EncodeClose(encoder));
        output->discard();
        EndWithError(session, log, origfile, code, engine::BassErrorText(code));
        return;
    }

    PumpToFileEncoder(
        session, log, origfile, *output, kChunkBytes,
        {[encoder](const char* data, unsigned length) { return BASS_WMA_EncodeWrite(encoder, data, length); },
         [encoder] { return BASS_WMA_EncodeClose(encoder); }},
        tags::TagFormat::Wma, loudness);
}

} // namespace convert
