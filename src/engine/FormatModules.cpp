#include "engine/FormatModules.h"

#include "engine/ChannelRegistry.h"
#include "platform/FileSystem.h"
#include "platform/LogCategories.h"
#include "platform/Path.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <array>
#include <atomic>
#include <cstring>
#include <vector>

namespace engine::FormatModules {

namespace {

enum class Backing { Ffmpeg, FluidSynth, None };

struct Module {
    const char* name;
    Backing backing;
    std::vector<AVCodecID> codecs;
};

// Handles are the module's index plus this base, so they never look like a
// channel handle.
constexpr HPLUGIN kHandleBase = 0x7000;

const std::vector<Module>& modules()
{
    static const std::vector<Module> table{
        {"basswma.dll",
         Backing::Ffmpeg,
         {AV_CODEC_ID_WMAV1, AV_CODEC_ID_WMAV2, AV_CODEC_ID_WMAPRO, AV_CODEC_ID_WMAVOICE, AV_CODEC_ID_WMALOSSLESS}},
        {"bass_aac.dll", Backing::Ffmpeg, {AV_CODEC_ID_AAC, AV_CODEC_ID_AAC_LATM}},
        {"bassmidi.dll", Backing::FluidSynth, {}},
        {"bass_ac3.dll", Backing::Ffmpeg, {AV_CODEC_ID_AC3, AV_CODEC_ID_EAC3}},
        {"bass_alac.dll", Backing::Ffmpeg, {AV_CODEC_ID_ALAC}},
        {"bass_ape.dll", Backing::Ffmpeg, {AV_CODEC_ID_APE}},
        {"bass_mpc.dll", Backing::Ffmpeg, {AV_CODEC_ID_MUSEPACK7, AV_CODEC_ID_MUSEPACK8}},
        // OptimFROG has no free decoder: this module never loads.
        {"bass_ofr.dll", Backing::None, {}},
        {"bass_spx.dll", Backing::Ffmpeg, {AV_CODEC_ID_SPEEX}},
        {"bass_tta.dll", Backing::Ffmpeg, {AV_CODEC_ID_TTA}},
        {"bassflac.dll", Backing::Ffmpeg, {AV_CODEC_ID_FLAC}},
        {"basswv.dll", Backing::Ffmpeg, {AV_CODEC_ID_WAVPACK}},
        {"bass_adx.dll", Backing::Ffmpeg, {AV_CODEC_ID_ADPCM_ADX}},
        // CD audio tracks need direct CD access, which the engine does not have.
        {"basscd.dll", Backing::None, {}},
    };
    return table;
}

std::atomic<unsigned> g_loaded{0}; // bit i: module i is loaded

bool backingPresent(const Module& module)
{
    switch (module.backing) {
    case Backing::Ffmpeg:
        for (AVCodecID codec : module.codecs) {
            if (avcodec_find_decoder(codec))
                return true;
        }
        return false;
    case Backing::FluidSynth:
        return platform::fileStatus(midiSoundFont()).readable;
    case Backing::None:
        return false;
    }
    return false;
}

bool builtinCodec(AVCodecID codec)
{
    // Every PCM flavour, the common ADPCM/telephony codecs of WAV files,
    // MPEG audio layers 1-3, Vorbis and Opus.
    if (codec >= AV_CODEC_ID_FIRST_AUDIO && codec < AV_CODEC_ID_ADPCM_IMA_QT)
        return true;
    switch (codec) {
    case AV_CODEC_ID_ADPCM_MS:
    case AV_CODEC_ID_ADPCM_IMA_WAV:
    case AV_CODEC_ID_GSM_MS:
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_MP3:
    case AV_CODEC_ID_VORBIS:
    case AV_CODEC_ID_OPUS:
        return true;
    default:
        return false;
    }
}

} // namespace

HPLUGIN load(const char* name)
{
    if (!name) {
        setLastError(BASS_ERROR_FILEOPEN);
        return 0;
    }
    const QString bare = platform::Path(QString::fromUtf8(name)).fileName();
    const auto& table = modules();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (bare.compare(QLatin1String(table[i].name), Qt::CaseInsensitive) != 0)
            continue;
        if (!backingPresent(table[i])) {
            qCInfo(lcEngine, "Format module %s not loaded: its decoder is not available", table[i].name);
            break;
        }
        g_loaded.fetch_or(1u << i);
        setLastError(BASS_OK);
        return kHandleBase + static_cast<HPLUGIN>(i) + 1;
    }
    setLastError(BASS_ERROR_FILEOPEN);
    return 0;
}

bool unload(HPLUGIN handle)
{
    if (handle == 0) {
        g_loaded = 0;
        setLastError(BASS_OK);
        return true;
    }
    const HPLUGIN index = handle - kHandleBase - 1;
    if (handle <= kHandleBase || index >= modules().size() || !(g_loaded & (1u << index))) {
        setLastError(BASS_ERROR_HANDLE);
        return false;
    }
    g_loaded.fetch_and(~(1u << index));
    setLastError(BASS_OK);
    return true;
}

long long codecProvider(AVCodecID codec)
{
    if (builtinCodec(codec))
        return 0;
    const auto& table = modules();
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (AVCodecID c : table[i].codecs) {
            if (c == codec)
                return (g_loaded & (1u << i)) ? static_cast<long long>(kHandleBase + i + 1) : -1;
        }
    }
    return -1;
}

bool containerAllowed(const char* demuxerName)
{
    // Demuxer names as libavformat reports them (some list several names).
    static constexpr std::array<const char*, 23> allowed{
        "wav", "w64", "aiff", "mp3", "ogg", "flac", "aac",    "ac3", "eac3", "ape",      "mpc", "mpc8",
        "wv",  "tta", "adx",  "caf", "avi", "mpeg", "mpegts", "mov", "asf",  "matroska", "flv"};
    if (!demuxerName)
        return false;
    const char* end = std::strchr(demuxerName, ',');
    const std::size_t firstLength = end ? static_cast<std::size_t>(end - demuxerName) : std::strlen(demuxerName);
    for (const char* name : allowed) {
        if (std::strlen(name) == firstLength && std::strncmp(name, demuxerName, firstLength) == 0)
            return true;
    }
    return false;
}

HPLUGIN midiModule()
{
    const auto& table = modules();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].backing == Backing::FluidSynth && (g_loaded & (1u << i)))
            return kHandleBase + static_cast<HPLUGIN>(i) + 1;
    }
    return 0;
}

QString midiSoundFont()
{
    return QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
}

} // namespace engine::FormatModules
