#include "engine/FileEncoderTable.h"

namespace engine {

FileEncoderTable& FileEncoderTable::global()
{
    static FileEncoderTable table;
    return table;
}

DWORD FileEncoderTable::add(std::shared_ptr<FfmpegEncoder> encoder)
{
    std::lock_guard lock(m_mutex);
    const DWORD handle = m_next++;
    m_encoders.emplace(handle, std::move(encoder));
    return handle;
}

std::shared_ptr<FfmpegEncoder> FileEncoderTable::find(DWORD handle)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_encoders.find(handle);
    return it == m_encoders.end() ? nullptr : it->second;
}

std::shared_ptr<FfmpegEncoder> FileEncoderTable::take(DWORD handle)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_encoders.find(handle);
    if (it == m_encoders.end())
        return nullptr;
    auto encoder = std::move(it->second);
    m_encoders.erase(it);
    return encoder;
}

} // namespace engine
