// BASS_WMA_* : the flat interface over FfmpegEncoder with wmav2 in ASF.
//
// Error codes: BASS_ERROR_FORMAT (sample format the encoder cannot take),
// BASS_ERROR_ILLPARAM (unknown flags, a bit rate outside the offered range,
// an unsupported tag form, a tag value without a name, a null buffer),
// BASS_ERROR_CREATE (no file name, or the file cannot be created or written),
// BASS_ERROR_HANDLE (no such encoder), BASS_ERROR_NOTAVAIL (a tag after the
// tags were ended or audio was written), BASS_ERROR_UNKNOWN (the codec failed).

#include "engine/ChannelRegistry.h"
#include "engine/FileEncoderTable.h"
#include "engine/WmaEncoderRates.h"

using namespace engine;

namespace {

constexpr DWORD kTagFormAnsi = 0; // 8-bit text: UTF-8 here
constexpr DWORD kTagFormUtf8 = 2;

FileEncoderTable& encoders()
{
    return FileEncoderTable::global();
}

bool knownFlags(DWORD flags)
{
    return (flags & ~(BASS_WMA_ENCODE_STANDARD | BASS_UNICODE)) == 0;
}

} // namespace

const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD chans, DWORD flags)
{
    if (!knownFlags(flags)) {
        setLastError(BASS_ERROR_ILLPARAM);
        return nullptr;
    }
    const std::vector<DWORD>& rates = wmaBitrates(freq, chans);
    if (rates.front() == 0) {
        setLastError(BASS_ERROR_FORMAT);
        return nullptr;
    }
    setLastError(BASS_OK);
    return rates.data();
}

HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate, const char* file)
{
    if (!knownFlags(flags)) {
        setLastError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    if (!file || !*file) {
        setLastError(BASS_ERROR_CREATE);
        return 0;
    }
    const std::vector<DWORD>& rates = wmaBitrates(freq, chans);
    if (rates.front() == 0) {
        setLastError(BASS_ERROR_FORMAT);
        return 0;
    }
    // rates holds the offered rates, highest first, then the closing 0.
    if (bitrate > rates.front() || bitrate < rates[rates.size() - 2]) {
        setLastError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    EncoderRequest wanted;
    wanted.codec = "wmav2";
    wanted.leadingSilenceFrame = true;
    wanted.container = "asf";
    wanted.rate = int(freq);
    wanted.channels = int(chans);
    wanted.bitrate = bitrate;
    return encoders().open(wanted, file);
}

bool BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* value, DWORD form)
{
    const auto encoder = encoders().find(handle);
    if (!encoder) {
        setLastError(BASS_ERROR_HANDLE);
        return false;
    }
    const std::string name = tag ? tag : "";
    const std::string text = value ? value : "";
    if (form != kTagFormAnsi && form != kTagFormUtf8) {
        setLastError(BASS_ERROR_ILLPARAM);
        return false;
    }
    if (!encoder->tagsOpen()) {
        setLastError(BASS_ERROR_NOTAVAIL);
        return false;
    }
    if (name.empty()) {
        if (!text.empty()) {
            setLastError(BASS_ERROR_ILLPARAM);
            return false;
        }
        const bool ok = encoder->endTags();
        setLastError(ok ? BASS_OK : encoder->errorCode());
        return ok;
    }
    if (!text.empty() && !encoder->setTag(name, text)) {
        setLastError(BASS_ERROR_MEM);
        return false;
    }
    setLastError(BASS_OK);
    return true;
}

bool BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length)
{
    return BASS_Encode_FileWrite(handle, buffer, length);
}

bool BASS_WMA_EncodeClose(HWMENCODE handle)
{
    return BASS_Encode_FileClose(handle);
}
