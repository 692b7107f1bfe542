#pragma once

// Small helpers shared by the engine's decoding tests.

#include "engine/AudioEngine.h"
#include "engine/Bass.h"

#include <QByteArray>
#include <QString>

namespace streamtest {

inline HSTREAM openDecoding(const QString& path)
{
    return OpenStream(false, path, 0, 0, BASS_STREAM_DECODE);
}

//! Reads a decoding channel to its end in chunks of `chunk` bytes.
inline QByteArray readToEnd(DWORD handle, DWORD chunk = 20000)
{
    QByteArray all;
    QByteArray buffer(static_cast<int>(chunk), '\0');
    for (int guard = 0; guard < 1000000; ++guard) {
        const DWORD got = BASS_ChannelGetData(handle, buffer.data(), chunk);
        if (got == DWORD(-1))
            break;
        all.append(buffer.constData(), static_cast<int>(got));
    }
    return all;
}

} // namespace streamtest
