#pragma once

#include "engine/Bass.h"
#include "engine/Channel.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace engine {

enum class ChannelKind { Stream, Music };

//! What the engine keeps for one open handle.
struct ChannelSlot {
    ChannelKind kind = ChannelKind::Stream;
    DWORD flags = 0; // the flags it was opened with (loop, decode, …)
    std::shared_ptr<Channel> channel;
    std::shared_ptr<ChannelTap> encoder; // attached by BASS_Encode_Start
    std::mutex mutex;                    // serialises reads of `channel` between threads
};

//! The table of open handles. Handles are never reused within a process, so a
//! stale handle is always reported as invalid instead of reaching another file.
class ChannelRegistry {
public:
    static ChannelRegistry& global();

    DWORD add(ChannelKind kind, DWORD flags, std::shared_ptr<Channel> channel);
    std::shared_ptr<ChannelSlot> find(DWORD handle) const;
    bool remove(DWORD handle);
    std::vector<DWORD> handles() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    DWORD m_next = 0x10000;
    std::unordered_map<DWORD, std::shared_ptr<ChannelSlot>> m_slots;
};

//! The calling thread's last error code.
void setLastError(int code);
int lastError();

} // namespace engine
