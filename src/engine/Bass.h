#pragma once

// The audio engine: decoding, playback, the encoder hook and WMA encoding,
// behind the classic flat interface of 32-bit handles. Every call sets the
// calling thread's last error code (0 after a success); a failed call returns
// 0 / false / -1 and BASS_ErrorGetCode() tells why.

#include <cstdint>

using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using HSTREAM = DWORD;
using HMUSIC = DWORD;
using HPLUGIN = DWORD;
using HENCODE = DWORD;
using HWMENCODE = DWORD;

// Error codes (the meanings of the engine's error-text table).
enum : int {
    BASS_OK = 0,
    BASS_ERROR_MEM = 1,
    BASS_ERROR_FILEOPEN = 2,
    BASS_ERROR_DRIVER = 3,
    BASS_ERROR_BUFLOST = 4,
    BASS_ERROR_HANDLE = 5,
    BASS_ERROR_FORMAT = 6,
    BASS_ERROR_POSITION = 7,
    BASS_ERROR_INIT = 8,
    BASS_ERROR_START = 9,
    BASS_ERROR_ALREADY = 14,
    BASS_ERROR_NOCHAN = 18,
    BASS_ERROR_ILLTYPE = 19,
    BASS_ERROR_ILLPARAM = 20,
    BASS_ERROR_NO3D = 21,
    BASS_ERROR_NOEAX = 22,
    BASS_ERROR_DEVICE = 23,
    BASS_ERROR_NOPLAY = 24,
    BASS_ERROR_FREQ = 25,
    BASS_ERROR_NOTFILE = 27,
    BASS_ERROR_NOHW = 29,
    BASS_ERROR_EMPTY = 31,
    BASS_ERROR_NONET = 32,
    BASS_ERROR_CREATE = 33,
    BASS_ERROR_NOFX = 34,
    BASS_ERROR_NOTAVAIL = 37,
    BASS_ERROR_DECODE = 38,
    BASS_ERROR_UNKNOWN = -1,
};

// Flags.
constexpr DWORD BASS_SAMPLE_8BITS = 1;
constexpr DWORD BASS_SAMPLE_LOOP = 4;
constexpr DWORD BASS_SAMPLE_FX = 0x80;
// Deliver 32-bit floating-point samples (decoding streams of audio files;
// played, mixed-down, MIDI and music channels keep their 16-bit or 8-bit
// data, which BASS_CHANNELINFO::flags tells). Keeps up to 24 bits exactly.
constexpr DWORD BASS_SAMPLE_FLOAT = 0x100;
constexpr DWORD BASS_STREAM_DECODE = 0x200000;
// Deliver signed 16-bit samples with at most two channels: more channels are
// mixed down to stereo and 8-bit samples widened (for encoders that take only
// mono or stereo 16-bit PCM).
constexpr DWORD BASS_STREAM_DOWNMIX = 0x400000;
constexpr DWORD BASS_MUSIC_LOOP = BASS_SAMPLE_LOOP;
constexpr DWORD BASS_MUSIC_RAMP = 0x200;
constexpr DWORD BASS_UNICODE = 0x80000000; // paths are UTF-8 here; the flag is accepted and ignored

constexpr DWORD BASS_POS_BYTE = 0;
constexpr DWORD BASS_ATTRIB_FREQ = 1;
constexpr DWORD BASS_CONFIG_FLOATDSP = 9;
constexpr DWORD BASS_CONFIG_WMA_BASSFILE = 0x10103;
constexpr DWORD BASS_WMA_ENCODE_STANDARD = 0x2000;

// Channel types (BASS_CHANNELINFO::ctype).
constexpr DWORD BASS_CTYPE_STREAM = 0x10000;
constexpr DWORD BASS_CTYPE_STREAM_MIDI = 0x10d00;
constexpr DWORD BASS_CTYPE_MUSIC_MOD = 0x20000;

// BASS_ChannelIsActive results.
constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_STALLED = 2;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

struct BASS_CHANNELINFO {
    DWORD freq = 0;     // sample rate of the delivered data
    DWORD chans = 0;    // channel count of the delivered data
    DWORD flags = 0;    // BASS_SAMPLE_8BITS: unsigned 8-bit, BASS_SAMPLE_FLOAT: float, else signed 16-bit
    DWORD ctype = 0;    // channel type (stream or music)
    DWORD origres = 0;  // bits per sample of the source, 0 when unknown
    HPLUGIN plugin = 0; // format module that opened it, 0 for the engine's own formats
    const char* filename = nullptr;
};

// Start-up and shutdown. Device 1 is the sound server's default output.
[[nodiscard]] bool BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid);
bool BASS_Free();
int BASS_ErrorGetCode();
bool BASS_SetConfig(DWORD option, DWORD value);
DWORD BASS_GetConfig(DWORD option);

// Format modules: the bare module name of the classic list ("bassflac.dll", …).
[[nodiscard]] HPLUGIN BASS_PluginLoad(const char* file, DWORD flags);
// Unloads one format module, or every module when `handle` is 0.
bool BASS_PluginFree(HPLUGIN handle);

// Opening. `file` is a NUL-terminated UTF-8 path (fromMemory false).
[[nodiscard]] HSTREAM BASS_StreamCreateFile(bool fromMemory, const void* file, QWORD offset, QWORD length, DWORD flags);
[[nodiscard]] HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, QWORD offset, DWORD length, DWORD flags,
                                    DWORD freq);
bool BASS_StreamFree(HSTREAM handle);
bool BASS_MusicFree(HMUSIC handle);

// Channels (streams and music alike).
bool BASS_ChannelPlay(DWORD handle, bool restart);
bool BASS_ChannelPause(DWORD handle);
bool BASS_ChannelStop(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);               // bytes, or (QWORD)-1
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);             // bytes, or (QWORD)-1
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length); // bytes, or (DWORD)-1
bool BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);
bool BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD position); // negative on error

// Encoder hook: runs `commandLine` as a child process (no shell; the text is
// split into arguments honouring double quotes) and feeds it a WAV header and
// then every byte BASS_ChannelGetData delivers from `handle`.
// Returns 0 when the program cannot be started.
// Without `proc` the program's standard output is discarded (it writes its
// file itself); with `proc`, everything the program writes on its standard
// output is handed to `proc` (with `user`) as it arrives, on the thread that
// feeds or stops the encoder.
using ENCODEPROC = void(HENCODE handle, DWORD channel, const void* buffer, DWORD length, void* user);
[[nodiscard]] HENCODE BASS_Encode_Start(DWORD handle, const char* commandLine, DWORD flags, ENCODEPROC* proc,
                                        void* user);
// Closes the encoder's input and waits for it. True only when the encoder
// exited normally with status 0 (and every byte reached it).
[[nodiscard]] bool BASS_Encode_Stop(DWORD handle);
// Whether an encoder attached to `handle` is still accepting data.
DWORD BASS_Encode_IsActive(DWORD handle);

// WMA encoding (FFmpeg's wmav2 in an ASF file).
const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD chans, DWORD flags); // zero-ended, or nullptr
[[nodiscard]] HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate, const char* file);
[[nodiscard]] bool BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* value, DWORD form);
[[nodiscard]] bool BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length);
[[nodiscard]] bool BASS_WMA_EncodeClose(HWMENCODE handle);

// FLAC, Opus (in Ogg) and AAC (in MP4, .m4a) files, encoded by FFmpeg. The
// PCM to be written is interleaved at `freq` Hz with `chans` channels, in the
// sample format `flags` names as BASS_CHANNELINFO::flags does. Errors:
// BASS_ERROR_ILLPARAM (a value outside the encoder's range, unknown flags),
// BASS_ERROR_FORMAT (a rate or channel count the encoder cannot take),
// BASS_ERROR_NOTAVAIL (the encoder is not installed), BASS_ERROR_CREATE (no
// file name, or the file cannot be created or written), BASS_ERROR_HANDLE.
constexpr DWORD BASS_ENCODE_OPUS_AUDIO = 0; // music and general audio
constexpr DWORD BASS_ENCODE_OPUS_VOIP = 1;  // speech
// `level` 0 (fastest) to 8 (smallest); `bits` above 16 keeps 24 bits.
[[nodiscard]] HENCODE BASS_Encode_FLAC_OpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD level, DWORD bits,
                                                const char* file);
// Resampled to 48 kHz; `bitrate` 6000 to 510000 bits per second.
[[nodiscard]] HENCODE BASS_Encode_OPUS_OpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate, DWORD application,
                                                const char* file);
// `bitrate` 8000 to 512000 bits per second.
[[nodiscard]] HENCODE BASS_Encode_AAC_OpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate, const char* file);
[[nodiscard]] bool BASS_Encode_FileWrite(HENCODE handle, const void* buffer, DWORD length);
// Finishes the file; true only when every byte of it was written.
[[nodiscard]] bool BASS_Encode_FileClose(HENCODE handle);
