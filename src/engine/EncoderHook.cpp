#include "engine/EncoderHook.h"

#include "engine/ChannelRegistry.h"
#include "engine/EncoderCommandLine.h"
#include "engine/EncoderWavHeader.h"

namespace engine {

namespace {

thread_local EncoderOutcome t_lastOutcome;

//! The encoder attached to channel `handle`, if any; `detach` also takes it
//! off the channel.
std::shared_ptr<EncoderProcess> attachedEncoder(DWORD handle, bool detach = false)
{
    const auto slot = ChannelRegistry::global().find(handle);
    if (!slot)
        return nullptr;
    std::lock_guard lock(slot->mutex);
    auto process = std::dynamic_pointer_cast<EncoderProcess>(slot->encoder);
    if (process && detach)
        slot->encoder.reset();
    return process;
}

} // namespace

EncoderOutcome lastEncoderOutcome()
{
    return t_lastOutcome;
}

bool setEncoderWaitHook(DWORD handle, EncoderProcess::WaitHook hook)
{
    const auto process = attachedEncoder(handle);
    if (!process)
        return false;
    process->setWaitHook(std::move(hook));
    return true;
}

} // namespace engine

using namespace engine;

HENCODE BASS_Encode_Start(DWORD handle, const char* commandLine, DWORD flags, ENCODEPROC* proc, void* user)
{
    const auto slot = ChannelRegistry::global().find(handle);
    if (!slot) {
        setLastError(BASS_ERROR_HANDLE);
        return 0;
    }
    if (!(slot->flags & BASS_STREAM_DECODE)) {
        // Only BASS_ChannelGetData feeds an encoder; a played channel's data
        // goes to the output and would never reach it.
        setLastError(BASS_ERROR_NOTAVAIL);
        return 0;
    }
    if (!commandLine || flags != 0) {
        setLastError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    const std::vector<std::string> arguments = splitCommandLine(commandLine);
    if (arguments.empty()) {
        setLastError(BASS_ERROR_ILLPARAM);
        return 0;
    }
    {
        std::lock_guard lock(slot->mutex);
        if (slot->encoder) {
            setLastError(BASS_ERROR_ALREADY);
            return 0;
        }
    }

    const BASS_CHANNELINFO info = slot->channel->info();
    if (info.flags & BASS_SAMPLE_FLOAT) {
        // The encoders are fed 16-bit or 8-bit WAV.
        setLastError(BASS_ERROR_FORMAT);
        return 0;
    }
    const std::uint16_t bits = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;

    std::string why;
    EncoderProcess::OutputSink sink;
    if (proc)
        sink = [proc, user, handle](const char* data, std::size_t bytes) {
            proc(handle, handle, data, static_cast<DWORD>(bytes), user);
        };
    std::shared_ptr<EncoderProcess> process = EncoderProcess::start(arguments, &why, std::move(sink));
    if (!process) {
        t_lastOutcome = EncoderOutcome{};
        t_lastOutcome.problem = why;
        setLastError(BASS_ERROR_FILEOPEN);
        return 0;
    }
    // A child that refuses even the header is reported when the encoder is
    // stopped (BASS_Encode_Stop fails), so the write's own result adds nothing.
    const auto header = streamingWavHeader(info.freq, static_cast<std::uint16_t>(info.chans), bits);
    static_cast<void>(process->write(header.data(), static_cast<std::int64_t>(header.size())));

    std::lock_guard lock(slot->mutex);
    slot->encoder = std::move(process);
    setLastError(BASS_OK);
    return handle;
}

bool BASS_Encode_Stop(DWORD handle)
{
    const auto process = attachedEncoder(handle, true);
    if (!process) {
        setLastError(BASS_ERROR_HANDLE);
        return false;
    }
    t_lastOutcome = process->finish();
    const bool ok = t_lastOutcome.succeeded();
    setLastError(ok ? BASS_OK : BASS_ERROR_UNKNOWN);
    return ok;
}

DWORD BASS_Encode_IsActive(DWORD handle)
{
    const auto process = attachedEncoder(handle);
    if (!process) {
        setLastError(BASS_ERROR_HANDLE);
        return BASS_ACTIVE_STOPPED;
    }
    setLastError(BASS_OK);
    return process->isActive() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
}
