#include "engine/ChannelHealth.h"

#include "engine/ChannelRegistry.h"

namespace engine {

QWORD channelDamagedAt(DWORD handle)
{
    const auto slot = ChannelRegistry::global().find(handle);
    if (!slot)
        return QWORD(-1);
    std::lock_guard lock(slot->mutex);
    const std::int64_t at = slot->channel ? slot->channel->damagedAt() : -1;
    return at < 0 ? QWORD(-1) : QWORD(at);
}

bool channelMetInvalidSamples(DWORD handle)
{
    const auto slot = ChannelRegistry::global().find(handle);
    if (!slot)
        return false;
    std::lock_guard lock(slot->mutex);
    return slot->channel && slot->channel->metInvalidSamples();
}

void setChannelCancelFlag(DWORD handle, const std::atomic<bool>* flag)
{
    const auto slot = ChannelRegistry::global().find(handle);
    if (!slot)
        return;
    std::lock_guard lock(slot->mutex);
    if (slot->channel)
        slot->channel->setCancelFlag(flag);
}

} // namespace engine
