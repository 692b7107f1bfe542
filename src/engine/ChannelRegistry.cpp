#include "engine/ChannelRegistry.h"

namespace engine {

namespace {
thread_local int t_lastError = BASS_OK;
}

void setLastError(int code)
{
    t_lastError = code;
}
int lastError()
{
    return t_lastError;
}

ChannelRegistry& ChannelRegistry::global()
{
    static ChannelRegistry registry;
    return registry;
}

DWORD ChannelRegistry::add(ChannelKind kind, DWORD flags, std::shared_ptr<Channel> channel)
{
    auto slot = std::make_shared<ChannelSlot>();
    slot->kind = kind;
    slot->flags = flags;
    slot->channel = std::move(channel);
    std::lock_guard lock(m_mutex);
    const DWORD handle = m_next++;
    m_slots.emplace(handle, std::move(slot));
    return handle;
}

std::shared_ptr<ChannelSlot> ChannelRegistry::find(DWORD handle) const
{
    std::lock_guard lock(m_mutex);
    auto it = m_slots.find(handle);
    return it == m_slots.end() ? nullptr : it->second;
}

bool ChannelRegistry::remove(DWORD handle)
{
    std::lock_guard lock(m_mutex);
    return m_slots.erase(handle) > 0;
}

std::vector<DWORD> ChannelRegistry::handles() const
{
    std::lock_guard lock(m_mutex);
    std::vector<DWORD> result;
    result.reserve(m_slots.size());
    for (const auto& entry : m_slots)
        result.push_back(entry.first);
    return result;
}

void ChannelRegistry::clear()
{
    std::lock_guard lock(m_mutex);
    m_slots.clear();
}

} // namespace engine
