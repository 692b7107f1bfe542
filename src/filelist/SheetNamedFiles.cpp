#include "filelist/SheetNamedFiles.h"

#include "disc/CueSheet.h"
#include "disc/TrackPath.h"
#include "filelist/FileAdmissionRules.h"

#include <QDir>

namespace filelist {

QSet<QString> SheetNamedFiles(const QStringList& paths)
{
    QSet<QString> named;
    for (const QString& path : paths) {
        const QString normalised = QDir::cleanPath(NormaliseAdmissionPath(path));
        if (!disc::isCueSheetPath(normalised))
            continue;
        disc::CueSheet sheet;
        if (disc::CueSheet::read(normalised, sheet))
            continue;
        for (const disc::CueSheet::File& file : sheet.files)
            if (!file.path.isEmpty())
                named.insert(QDir::cleanPath(file.path));
    }
    QSet<QString> taken;
    for (const QString& path : paths) {
        const QString normalised = NormaliseAdmissionPath(path);
        if (named.contains(QDir::cleanPath(normalised)) && !disc::isCueSheetPath(normalised))
            taken.insert(normalised);
    }
    return taken;
}

} // namespace filelist
