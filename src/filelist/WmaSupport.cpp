#include "filelist/WmaSupport.h"

#include "platform/ProgramFolder.h"
#include "engine/Bass.h"

#include <QFile>

bool CheckWMASupport(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString path = folder + u'/' + QLatin1String(kWmaProbeFileName);
    const HWMENCODE encoder =
        BASS_WMA_EncodeOpenFile(44100, 2, BASS_WMA_ENCODE_STANDARD, 128000, QFile::encodeName(path).constData());
    if (!encoder)
        return false;
    BASS_WMA_EncodeClose(encoder);
    return true;
}

bool CheckWMASupport()
{
    return CheckWMASupport(programFolder());
}
