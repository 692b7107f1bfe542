#include "engine/ChannelHandle.h"

#include "engine/AudioEngine.h"

namespace engine {

ChannelHandle ChannelHandle::open(const QString& file, DWORD streamFlags, DWORD musicFlags)
{
    if (const HSTREAM stream = OpenStream(false, file, 0, 0, streamFlags))
        return {stream, Kind::Stream};
    return {OpenMusic(false, file, 0, 0, musicFlags, 0), Kind::Music};
}

void ChannelHandle::reset()
{
    const DWORD handle = std::exchange(m_handle, 0);
    if (!handle)
        return;
    BASS_ChannelStop(handle);
    if (m_kind == Kind::Music)
        BASS_MusicFree(handle);
    else
        BASS_StreamFree(handle);
}

} // namespace engine
