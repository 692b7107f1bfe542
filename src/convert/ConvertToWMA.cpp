#include "convert/ConvertToWMA.h"

#include "convert/CarryTags.h"
#include "convert/ConversionSession.h"
#include "convert/EncoderOutput.h"
#include "convert/WmaBitrateList.h"
#include "engine/AudioEngine.h"
#include "options/FormatOptions.h"

#include <vector>

namespace {

using Outcome = ConversionSession::Outcome;

constexpr DWORD kChunkBytes = 20000;
constexpr DWORD kTagFormAnsi = 0;

//! Ends the encoder's tag list before any audio. The tags themselves (the
//! input's and the WMA page's boxes) are written into the finished file by
//! CarryTags, as for every other format.
void endTags(HWMENCODE encoder)
{
    BASS_WMA_EncodeSetTag(encoder, "", "", kTagFormAnsi);
}

} // namespace

void ConvertToWMA(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    session.releaseConversionStream();
    BASS_SetConfig(BASS_CONFIG_WMA_BASSFILE, 1);

    // The encoder takes 16-bit mono or stereo: more channels are mixed down.
    session.hConvertStream = OpenStream(false, origfile, 0, 0, BASS_STREAM_DECODE | BASS_STREAM_DOWNMIX);
    const HSTREAM stream = session.hConvertStream;
    if (stream == 0) {
        session.setOutcome(Outcome::Error);
        return;
    }
    BASS_ChannelGetInfo(stream, &session.channelInfo);
    const BASS_CHANNELINFO& info = session.channelInfo;

    // A conversion never runs while the window is still loading.
    const int bitrate = convert::GetWMABitRateFromQuality(session.cmbWMAEncodingBitrate, false, info.freq, info.chans,
                                                          session.options().sliderWMA.Value());
    convert::EncoderOutput output(outFile);
    if (bitrate <= 0 || !output.claim()) {
        session.setOutcome(Outcome::Error);
        return;
    }
    const HWMENCODE encoder = BASS_WMA_EncodeOpenFile(info.freq, info.chans, BASS_WMA_ENCODE_STANDARD, DWORD(bitrate),
                                                      outFile.toUtf8().constData());
    if (encoder == 0) {
        output.dropIfEmpty();
        session.setOutcome(Outcome::Error);
        return;
    }
    endTags(encoder);

    std::vector<char> buffer(kChunkBytes);
    Outcome outcome = Outcome::Complete;
    while (BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), kChunkBytes);
        if (got == DWORD(-1) || !BASS_WMA_EncodeWrite(encoder, buffer.data(), got)) {
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
    if (!BASS_WMA_EncodeClose(encoder) && outcome == Outcome::Complete)
        outcome = Outcome::Error;
    if (outcome == Outcome::Complete)
        convert::CarryTags(session.options(), origfile, outFile, convert::TagFormat::Wma);
    session.setOutcome(outcome);
    session.freeConversionStream();
}
