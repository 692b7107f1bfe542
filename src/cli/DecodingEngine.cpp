#include "cli/DecodingEngine.h"

#include "engine/AudioEngine.h"

namespace cli {

bool InitDecodingEngine()
{
    // Device 0 is the engine's "no sound" device.
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr) && BASS_ErrorGetCode() != BASS_ERROR_ALREADY)
        return false;
    for (const QString& name : FormatModuleNames())
        BASS_PluginLoad(name.toLatin1().constData(), 0);
    WMATagNames = QStringLiteral("Title,Author,WM/AlbumTitle,Description,Rating,Copyright,WM/Genre,WM/Year")
                      .split(QLatin1Char(','));
    return true;
}

} // namespace cli
