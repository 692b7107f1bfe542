#include "support/OneHourBatch.h"

#include "support/TestTone.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bench {

QStringList oneHourBatch(const QString& folder, const std::function<bool(const QString& file, int index)>& finish)
{
    QDir().mkpath(folder);
    static const char* const kinds[] = {"flac", "mp3", "ogg"};
    QStringList files;
    for (int i = 0; i < kOneHourFiles; ++i) {
        const QString path =
            folder + QStringLiteral("/in%1.%2").arg(i, 2, 10, QLatin1Char('0')).arg(QLatin1String(kinds[i % 3]));
        if (!QFile::exists(path)) {
            const QString partial = path + QStringLiteral(".part.") + QFileInfo(path).suffix();
            const TestTone tone{partial, kOneHourSecondsEach, TestTone::Signal::Sine, 220 + 37 * i, {}};
            if (tone.make().isEmpty() || (finish && !finish(partial, i)) || !QFile::rename(partial, path))
                return {};
        }
        files << path;
    }
    return files;
}

} // namespace bench
