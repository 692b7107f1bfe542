#pragma once

#include "engine/MediaTags.h"

#include <QString>

namespace filelist {
class FileList;
}

namespace convert {

//! The name an output would get from a name pattern, shown under the
//! pattern while the user writes it: the first listed row's, from its tags,
//! or a sample song's when the list is empty. The tags of the first row are
//! read once and kept while it stays first.
class OutputNameExample {
public:
    //! The output's path inside the output folder with `extension`
    //! ("Artist/Album/01 - Title.mp3"); empty when `pattern` cannot be used.
    QString name(const QString& pattern, const filelist::FileList* list, const QString& extension);

    //! The sample song's tags, in the current language ("Artist", "Title").
    static engine::MediaTags sampleTags();

private:
    QString m_taggedPath;
    engine::MediaTags m_tags;
};

} // namespace convert
