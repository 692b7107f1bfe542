#include "support/TestTone.h"

#include "support/Commands.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace bench {

QString TestTone::make() const
{
    if (QFileInfo(path).size() > 0)
        return path;
    const QString source =
        signal == Signal::Sweep
            ? QStringLiteral("aevalsrc=0.4*sin(2*PI*(220+40*sin(t/3))*t)|0.4*sin(2*PI*(330+50*sin(t/5))*t)"
                             ":s=44100:d=%1")
                  .arg(seconds)
            : QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(frequency).arg(seconds);
    const QString noise = signal == Signal::Sweep
                              ? QStringLiteral("anoisesrc=colour=pink:sample_rate=44100:amplitude=0.08:duration=%1")
                              : QStringLiteral("anoisesrc=sample_rate=44100:amplitude=0.05:duration=%1");
    const QString partial = path + QStringLiteral(".part.") + QFileInfo(path).suffix();
    QStringList arguments{QStringLiteral("-hide_banner"),
                          QStringLiteral("-loglevel"),
                          QStringLiteral("error"),
                          QStringLiteral("-y"),
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          source,
                          QStringLiteral("-f"),
                          QStringLiteral("lavfi"),
                          QStringLiteral("-i"),
                          noise.arg(seconds),
                          QStringLiteral("-filter_complex"),
                          QStringLiteral("amix=inputs=2,aformat=channel_layouts=stereo")};
    arguments += codecOptions;
    arguments << partial;
    std::fprintf(stderr, "making %s\n", qPrintable(path));
    if (!runQuietly(QStringLiteral("ffmpeg"), arguments) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        return {};
    }
    return path;
}

} // namespace bench
