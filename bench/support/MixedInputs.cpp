#include "support/MixedInputs.h"

#include "support/TestTone.h"

#include <QDir>
#include <QList>
#include <algorithm>
#include <utility>

namespace bench {

QStringList mixedInputs(const QString& folder, int minutes)
{
    QDir().mkpath(folder);
    const QList<std::pair<QString, QStringList>> kinds = {
        {QStringLiteral("flac"), {QStringLiteral("-c:a"), QStringLiteral("flac")}},
        {QStringLiteral("mp3"),
         {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("192k")}},
        {QStringLiteral("ogg"),
         {QStringLiteral("-c:a"), QStringLiteral("libvorbis"), QStringLiteral("-q:a"), QStringLiteral("5")}},
    };
    QStringList inputs;
    const int base = minutes * 60 / 9;
    for (int i = 0; i < 3; ++i) {
        for (const auto& [extension, codec] : kinds) {
            const int length = std::max(1, base - 10 + 10 * i);
            const TestTone tone{folder + QStringLiteral("/in%1_%2s.%3").arg(i).arg(length).arg(extension), length,
                                TestTone::Signal::Sweep, 0, codec};
            if (tone.make().isEmpty())
                return {};
            inputs << tone.path;
        }
    }
    return inputs;
}

} // namespace bench
