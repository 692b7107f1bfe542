// Any text as a name pattern, expanded with tags that are themselves the
// input: a usable pattern never names a path that climbs out of the output
// folder or holds an empty part.
#include "convert/OutputNamePattern.h"
#include "engine/MediaTags.h"

#include <QString>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = text.indexOf(u'\n');
    const convert::OutputNamePattern pattern(split < 0 ? text : text.left(split));
    engine::MediaTags tags;
    const QString tagText = split < 0 ? QString() : text.mid(split + 1);
    for (QString* field : {&tags.title, &tags.artist, &tags.album, &tags.albumArtist, &tags.track, &tags.disc,
                           &tags.date, &tags.genre, &tags.comment, &tags.composer})
        *field = tagText;
    const QString name = pattern.expand(tags, QStringLiteral("base"));
    if (name.isEmpty() || name.startsWith(u'/'))
        std::abort();
    for (const QString& part : name.split(u'/')) {
        if (part.isEmpty() || part == QStringLiteral(".") || part == QStringLiteral(".."))
            std::abort();
    }
    static_cast<void>(pattern.problemTexts());
    return 0;
}
