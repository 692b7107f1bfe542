// BASS_Encode_FLAC/OPUS/AAC_OpenFile, BASS_Encode_FileWrite/Close: the flat
// interface over FfmpegEncoder for the formats FFmpeg encodes itself.

#include "engine/ChannelRegistry.h"
#include "engine/FileEncoderTable.h"

using namespace engine;

namespace {

thread_local int t_lastSystemError = 0;
thread_local EncoderPadding t_lastPadding;

constexpr DWORD kFlacMaxLevel = 8;
constexpr DWORD kOpusMinBitrate = 6000;
constexpr DWORD kOpusMaxBitrate = 510000;
constexpr DWORD kAacMinBitrate = 8000;
constexpr DWORD kAacMaxBitrate = 512000;
// Opus works at 48 kHz; other rates are resampled to it.
constexpr int kOpusRate = 48000;

//! The wanted for PCM of `freq`, `chans` and `flags`; false for unknown flags.
bool pcmRequest(DWORD freq, DWORD chans, DWORD flags, EncoderRequest& wanted)
{
    if ((flags & ~(BASS_SAMPLE_8BITS | BASS_SAMPLE_FLOAT | BASS_UNICODE)) != 0 ||
        ((flags & BASS_SAMPLE_8BITS) && (flags & BASS_SAMPLE_FLOAT)))
        return false;
    wanted.rate = int(freq);
    wanted.channels = int(chans);
    wanted.input = (flags & BASS_SAMPLE_FLOAT)   ? AV_SAMPLE_FMT_FLT
                   : (flags & BASS_SAMPLE_8BITS) ? AV_SAMPLE_FMT_U8
                                                 : AV_SAMPLE_FMT_S16;
    return true;
}

HENCODE openFile(const EncoderRequest& wanted, const char* file)
{
    if (!file || !*file) {
        setLastError(BASS_ERROR_CREATE);
        return 0;
    }
    if (wanted.rate <= 0 || wanted.channels <= 0) {
        setLastError(BASS_ERROR_FORMAT);
        return 0;
    }
    return FileEncoderTable::global().open(wanted, file);
}

HENCODE refuse()
{
    setLastError(BASS_ERROR_ILLPARAM);
    return 0;
}

} // namespace

HENCODE BASS_Encode_FLAC_OpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD level, DWORD bits, const char* file)
{
    EncoderRequest wanted;
    if (!pcmRequest(freq, chans, flags, wanted) || level > kFlacMaxLevel)
        return refuse();
    wanted.codec = "flac";
    wanted.container = "flac";
    wanted.compressionLevel = int(level);
    wanted.bitsPerSample = bits > 16 ? 24 : 16;
    return openFile(wanted, file);
}

HENCODE BASS_Encode_OPUS_OpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate, DWORD application,
                                  const char* file)
{
    EncoderRequest wanted;
    if (!pcmRequest(freq, chans, flags, wanted) || bitrate < kOpusMinBitrate || bitrate > kOpusMaxBitrate ||
        (application != BASS_ENCODE_OPUS_AUDIO && application != BASS_ENCODE_OPUS_VOIP))
        return refuse();
    wanted.codec = "libopus";
    wanted.container = "opus";
    wanted.outputRate = kOpusRate;
    wanted.bitrate = bitrate;
    wanted.options = {{"application", application == BASS_ENCODE_OPUS_VOIP ? "voip" : "audio"}};
    return openFile(wanted, file);
}

HENCODE BASS_Encode_AAC_OpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate, const char* file)
{
    EncoderRequest wanted;
    if (!pcmRequest(freq, chans, flags, wanted) || bitrate < kAacMinBitrate || bitrate > kAacMaxBitrate)
        return refuse();
    wanted.codec = "aac";
    wanted.container = "ipod"; // MP4 as .m4a files are made
    wanted.bitrate = bitrate;
    return openFile(wanted, file);
}

bool BASS_Encode_FileWrite(HENCODE handle, const void* buffer, DWORD length)
{
    const auto encoder = FileEncoderTable::global().find(handle);
    if (!encoder) {
        setLastError(BASS_ERROR_HANDLE);
        return false;
    }
    if (!buffer && length > 0) {
        setLastError(BASS_ERROR_ILLPARAM);
        return false;
    }
    const bool ok = encoder->write(static_cast<const char*>(buffer), length);
    t_lastSystemError = encoder->systemError();
    setLastError(ok ? BASS_OK : encoder->errorCode());
    return ok;
}

bool BASS_Encode_FileClose(HENCODE handle)
{
    const auto encoder = FileEncoderTable::global().take(handle);
    if (!encoder) {
        setLastError(BASS_ERROR_HANDLE);
        return false;
    }
    const bool ok = encoder->close();
    t_lastSystemError = encoder->systemError();
    t_lastPadding = ok ? encoder->padding() : EncoderPadding{};
    setLastError(ok ? BASS_OK : encoder->errorCode());
    return ok;
}

int engine::lastEncoderSystemError()
{
    return t_lastSystemError;
}

EncoderPadding engine::lastEncoderPadding()
{
    return t_lastPadding;
}
