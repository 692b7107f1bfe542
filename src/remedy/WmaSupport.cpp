#include "remedy/WmaSupport.h"

#include "engine/Bass.h"
#include "platform/FileName.h"

#include <QStandardPaths>
#include <QTemporaryDir>

namespace remedy {

bool CheckWMASupport(const QString& scratchFolder)
{
    if (scratchFolder.isEmpty())
        return false;
    // Made with mode 0700 under a fresh name, removed with its content when
    // it goes out of scope.
    const QTemporaryDir folder(scratchFolder + QStringLiteral("/tonemill-probe-XXXXXX"));
    if (!folder.isValid())
        return false;
    const QString path = folder.filePath(QLatin1String(kWmaProbeFileName));
    const HWMENCODE encoder =
        BASS_WMA_EncodeOpenFile(44100, 2, BASS_WMA_ENCODE_STANDARD, 128000, platform::nativeName(path).constData());
    if (!encoder)
        return false;
    // The probe asks only whether the encoder opens; the empty file it closes
    // is thrown away with the folder.
    static_cast<void>(BASS_WMA_EncodeClose(encoder));
    return true;
}

bool CheckWMASupport()
{
    return CheckWMASupport(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
}

} // namespace remedy
