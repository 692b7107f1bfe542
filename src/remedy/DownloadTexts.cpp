#include "remedy/DownloadTexts.h"

namespace remedy {

DownloadTexts DownloadTexts::forTitle(const QString& title, const QString& programFolder)
{
    DownloadTexts texts;
    texts.title = QLatin1String(kDownloadingPrefix) + title;
    texts.label = texts.title;
    texts.description = texts.title + QLatin1String(kPleaseWaitSuffix);
    texts.smallWizardImage = programFolder + QStringLiteral("/icon.bmp");
    return texts;
}

} // namespace remedy
