#pragma once

#include "engine/Channel.h"

#include <memory>

namespace disc {

//! Two channels of the same sample format delivered one after the other: a
//! track of a rip with one file per track that ends with the pre-gap at the
//! head of the next file.
class JoinedChannel : public engine::Channel {
public:
    //! Null when the two differ in rate, channels or sample format.
    static std::shared_ptr<JoinedChannel> join(std::shared_ptr<engine::Channel> head,
                                               std::shared_ptr<engine::Channel> tail);

    BASS_CHANNELINFO info() const override { return m_head->info(); }
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override { return m_head->length() + m_tail->length(); }
    std::int64_t position() const override { return m_head->position() + m_tail->position(); }
    bool rewind() override;
    std::int64_t damagedAt() const override;
    void setCancelFlag(const std::atomic<bool>* flag) override;

private:
    JoinedChannel() = default;

    std::shared_ptr<engine::Channel> m_head;
    std::shared_ptr<engine::Channel> m_tail;
    bool m_inTail = false;
};

} // namespace disc
