// Any bytes as a CUE sheet: the parser must refuse or accept them without a
// fault, and what it accepts must hold together.
#include "disc/CueSheet.h"

#include <QByteArray>
#include <QDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    disc::CueSheet sheet;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The files a sheet names are looked for in an empty folder: every check
    // before that runs.
    static const QString folder = QDir::tempPath() + QStringLiteral("/tonemill-fuzz-empty");
    if (disc::CueSheet::parse(bytes, folder, sheet))
        return 0;
    for (const auto& track : sheet.tracks) {
        if (!track.start.present() || track.start.frame < 0)
            std::abort();
        if (std::size_t(track.start.file) >= sheet.files.size())
            std::abort();
    }
    return 0;
}
