#include "disc/JoinedChannel.h"

namespace disc {

std::shared_ptr<JoinedChannel> JoinedChannel::join(std::shared_ptr<engine::Channel> head,
                                                   std::shared_ptr<engine::Channel> tail)
{
    if (!head || !tail)
        return nullptr;
    const BASS_CHANNELINFO first = head->info();
    const BASS_CHANNELINFO second = tail->info();
    if (first.freq != second.freq || first.chans != second.chans || first.flags != second.flags)
        return nullptr;
    std::shared_ptr<JoinedChannel> joined(new JoinedChannel);
    joined->m_head = std::move(head);
    joined->m_tail = std::move(tail);
    return joined;
}

std::int64_t JoinedChannel::read(char* out, std::int64_t bytes)
{
    if (!m_inTail) {
        const std::int64_t got = m_head->read(out, bytes);
        if (got != 0)
            return got;
        m_inTail = true;
    }
    return m_tail->read(out, bytes);
}

bool JoinedChannel::rewind()
{
    m_inTail = false;
    return m_head->rewind() && m_tail->rewind();
}

std::int64_t JoinedChannel::damagedAt() const
{
    const std::int64_t head = m_head->damagedAt();
    if (head >= 0)
        return head;
    const std::int64_t tail = m_tail->damagedAt();
    return tail < 0 ? -1 : m_head->length() + tail;
}

void JoinedChannel::setCancelFlag(const std::atomic<bool>* flag)
{
    m_head->setCancelFlag(flag);
    m_tail->setCancelFlag(flag);
}

} // namespace disc
