#include "filelist/SheetNamedFiles.h"

#include "engine/CueSheet.h"
#include "engine/TrackPath.h"
#include "filelist/FileAdmissionRules.h"

#include <QDir>

namespace filelist {

QSet<QString> SheetNamedFiles(const QStringList& paths)
{
    QSet<QString> named;
    for (const QString& path : paths) {
        const QString normalised = QDir::cleanPath(NormaliseAdmissionPath(path));
        if (!engine::isCueSheetPath(normalised))
            continue;
        engine::CueSheet sheet;
        if (engine::CueSheet::read(normalised, sheet))
            continue;
        for (const engine::CueSheet::File& file : sheet.files)
            if (!file.path.isEmpty())
                named.insert(QDir::cleanPath(file.path));
    }
    QSet<QString> taken;
    for (const QString& path : paths) {
        const QString normalised = NormaliseAdmissionPath(path);
        if (named.contains(QDir::cleanPath(normalised)) && !engine::isCueSheetPath(normalised))
            taken.insert(normalised);
    }
    return taken;
}

} // namespace filelist
