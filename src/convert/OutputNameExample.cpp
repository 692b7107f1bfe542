#include "convert/OutputNameExample.h"

#include "convert/OutputNamePattern.h"
#include "convert/OutputPath.h"
#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "platform/FileName.h"
#include "platform/Path.h"
#include "tags/ReadMediaTags.h"

namespace convert {

engine::MediaTags OutputNameExample::sampleTags()
{
    using lang::StringId;
    engine::MediaTags tags;
    tags.artist = lang::caption(StringId::PlaceholderArtist);
    tags.albumArtist = tags.artist;
    tags.composer = tags.artist;
    tags.album = lang::caption(StringId::PlaceholderAlbumTitle);
    tags.title = lang::caption(StringId::PlaceholderTitle);
    tags.genre = lang::caption(StringId::PlaceholderGenre);
    tags.track = QStringLiteral("1");
    tags.disc = QStringLiteral("1");
    tags.date = QStringLiteral("2024");
    return tags;
}

QString OutputNameExample::name(const QString& pattern, const filelist::FileList* list, const QString& extension)
{
    const OutputNamePattern parsed(pattern);
    if (!parsed.usable())
        return {};
    QString base = lang::caption(lang::StringId::PlaceholderTitle);
    engine::MediaTags tags = sampleTags();
    if (list && list->count() > 0) {
        const QString& path = list->at(0).path;
        if (path != m_taggedPath) {
            m_tags = tags::ReadMediaTags(path);
            m_taggedPath = path;
        }
        tags = m_tags;
        // The name the batch starts from: a track of a CUE sheet or a disc
        // is "Track01", whatever its source is called.
        base = platform::displayName(OutputBaseName(path));
    }
    return parsed.expand(tags, base) + u'.' + extension;
}

} // namespace convert
