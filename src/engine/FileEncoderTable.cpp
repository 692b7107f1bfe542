#include "engine/FileEncoderTable.h"

#include "engine/ChannelRegistry.h"

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

DWORD FileEncoderTable::open(const EncoderRequest& wanted, const char* file)
{
    int error = BASS_OK;
    std::shared_ptr<FfmpegEncoder> encoder = FfmpegEncoder::open(wanted, file, &error);
    if (!encoder) {
        setLastError(error);
        return 0;
    }
    setLastError(BASS_OK);
    return add(std::move(encoder));
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
