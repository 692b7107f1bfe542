#pragma once

#include "engine/Bass.h"

#include <QString>
#include <utility>

namespace engine {

//! Owns one engine stream or music handle and frees it when it goes out of
//! scope, so code above the engine never writes a free on every path.
class ChannelHandle {
public:
    enum class Kind { Stream, Music };

    ChannelHandle() = default;
    ChannelHandle(DWORD handle, Kind kind) : m_handle(handle), m_kind(kind) {}
    ChannelHandle(const ChannelHandle&) = delete;
    ChannelHandle& operator=(const ChannelHandle&) = delete;
    ChannelHandle(ChannelHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, 0)), m_kind(other.m_kind) {}
    ChannelHandle& operator=(ChannelHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, 0);
            m_kind = other.m_kind;
        }
        return *this;
    }
    ~ChannelHandle() { reset(); }

    //! Opens `file` as a stream, or failing that as music, with the given flags.
    static ChannelHandle open(const QString& file, DWORD streamFlags, DWORD musicFlags);

    DWORD get() const { return m_handle; }
    Kind kind() const { return m_kind; }
    explicit operator bool() const { return m_handle != 0; }

    //! Gives up ownership without freeing.
    DWORD release() { return std::exchange(m_handle, 0); }

    //! Stops and frees the handle now.
    void reset();

private:
    DWORD m_handle = 0;
    Kind m_kind = Kind::Stream;
};

} // namespace engine
