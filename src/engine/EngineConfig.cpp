// The engine's configuration values and the last error code.

#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"

#include <mutex>

namespace {

std::mutex g_configMutex;
DWORD g_wmaBassFile = 0;

} // namespace

int BASS_ErrorGetCode()
{
    return engine::lastError();
}

bool BASS_SetConfig(DWORD option, DWORD value)
{
    switch (option) {
    case BASS_CONFIG_FLOATDSP:
        // Output is always integer PCM; floating-point processing cannot be
        // switched on.
        if (value != 0) {
            engine::setLastError(BASS_ERROR_ILLPARAM);
            return false;
        }
        engine::setLastError(BASS_OK);
        return true;
    case BASS_CONFIG_WMA_BASSFILE: {
        std::lock_guard lock(g_configMutex);
        g_wmaBassFile = value;
        engine::setLastError(BASS_OK);
        return true;
    }
    default:
        engine::setLastError(BASS_ERROR_ILLTYPE);
        return false;
    }
}

DWORD BASS_GetConfig(DWORD option)
{
    switch (option) {
    case BASS_CONFIG_FLOATDSP:
        engine::setLastError(BASS_OK);
        return 0;
    case BASS_CONFIG_WMA_BASSFILE: {
        std::lock_guard lock(g_configMutex);
        engine::setLastError(BASS_OK);
        return g_wmaBassFile;
    }
    default:
        engine::setLastError(BASS_ERROR_ILLTYPE);
        return DWORD(-1);
    }
}
