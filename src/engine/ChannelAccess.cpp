// Reading channels: data, position, length, format and state.

#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"
#include "engine/Playback.h"

#include <mutex>

namespace {

using namespace engine;

//! The slot of a valid handle, or null with BASS_ERROR_HANDLE set.
std::shared_ptr<ChannelSlot> slotOf(DWORD handle)
{
    auto slot = ChannelRegistry::global().find(handle);
    if (!slot || !slot->channel)
        setLastError(BASS_ERROR_HANDLE);
    return slot && slot->channel ? slot : nullptr;
}

double bytesPerSecond(const BASS_CHANNELINFO& info)
{
    const int sampleBytes = (info.flags & BASS_SAMPLE_8BITS) ? 1 : (info.flags & BASS_SAMPLE_FLOAT) ? 4 : 2;
    return static_cast<double>(info.freq) * info.chans * sampleBytes;
}

} // namespace

DWORD BASS_ChannelIsActive(DWORD handle)
{
    auto slot = slotOf(handle);
    if (!slot)
        return BASS_ACTIVE_STOPPED;
    setLastError(BASS_OK);
    if (!(slot->flags & BASS_STREAM_DECODE))
        return playbackState(handle);
    std::lock_guard lock(slot->mutex);
    return slot->channel->position() < slot->channel->length() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
}

namespace {

// A byte count of the channel (its length or position); only byte mode exists.
QWORD byteCount(DWORD handle, DWORD mode, std::int64_t (engine::Channel::*count)() const)
{
    auto slot = slotOf(handle);
    if (!slot)
        return QWORD(-1);
    if (mode != BASS_POS_BYTE) {
        setLastError(BASS_ERROR_NOTAVAIL);
        return QWORD(-1);
    }
    std::lock_guard lock(slot->mutex);
    setLastError(BASS_OK);
    return static_cast<QWORD>((slot->channel.get()->*count)());
}

} // namespace

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode)
{
    return byteCount(handle, mode, &engine::Channel::length);
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode)
{
    return byteCount(handle, mode, &engine::Channel::position);
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length)
{
    auto slot = slotOf(handle);
    if (!slot)
        return DWORD(-1);
    if (!(slot->flags & BASS_STREAM_DECODE)) {
        // A playing channel's data belongs to its output.
        setLastError(BASS_ERROR_NOTAVAIL);
        return DWORD(-1);
    }
    if (!buffer || (length & 0xf0000000u)) {
        setLastError(BASS_ERROR_ILLPARAM);
        return DWORD(-1);
    }
    std::int64_t got = 0;
    std::shared_ptr<ChannelTap> encoder;
    {
        std::lock_guard lock(slot->mutex);
        Channel& channel = *slot->channel;
        got = channel.read(static_cast<char*>(buffer), length);
        if (got < 0 || (got == 0 && length > 0 && channel.position() >= channel.length())) {
            // A read failure, or the end with nothing left to deliver.
            setLastError(BASS_ERROR_NOTAVAIL);
            return DWORD(-1);
        }
        encoder = slot->encoder;
    }
    // Fed outside the channel's lock: feeding may wait on the encoder and run
    // its wait hook, which may let the caller's events run.
    if (got > 0 && encoder)
        encoder->deliver(static_cast<const char*>(buffer), got);
    setLastError(BASS_OK);
    return static_cast<DWORD>(got);
}

bool BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info)
{
    auto slot = slotOf(handle);
    if (!slot)
        return false;
    if (!info) {
        setLastError(BASS_ERROR_ILLPARAM);
        return false;
    }
    std::lock_guard lock(slot->mutex);
    *info = slot->channel->info();
    setLastError(BASS_OK);
    return true;
}

bool BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value)
{
    auto slot = slotOf(handle);
    if (!slot)
        return false;
    if (attrib != BASS_ATTRIB_FREQ) {
        setLastError(BASS_ERROR_ILLTYPE);
        return false;
    }
    if (!value) {
        setLastError(BASS_ERROR_ILLPARAM);
        return false;
    }
    std::lock_guard lock(slot->mutex);
    *value = static_cast<float>(slot->channel->info().freq);
    setLastError(BASS_OK);
    return true;
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD position)
{
    auto slot = slotOf(handle);
    if (!slot)
        return -1.0;
    BASS_CHANNELINFO info;
    {
        std::lock_guard lock(slot->mutex);
        info = slot->channel->info();
    }
    const double rate = bytesPerSecond(info);
    if (rate <= 0) {
        setLastError(BASS_ERROR_NOTAVAIL);
        return -1.0;
    }
    setLastError(BASS_OK);
    return static_cast<double>(position) / rate;
}
