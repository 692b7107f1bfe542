#pragma once

#include "tags/WriteFileTags.h"

#include <QList>
#include <QString>

namespace tags {

//! A free-form tag field: its name in the file and its text.
struct TagField {
    QString name;
    QString value;
    bool operator==(const TagField&) const = default;
};

//! Sets `fields` in the file at `path` as the free-form fields of its
//! `format`, replacing fields of the same names and leaving every other tag
//! as it was: ID3v2 user texts (TXXX) in MP3 and in WAV's ID3 chunk, Vorbis
//! comments in Ogg Vorbis, Opus and FLAC, "----:com.apple.iTunes:" items in
//! MP4, attributes in WMA. True for no fields; false when the file cannot be
//! read as `format` or saved.
[[nodiscard]] bool WriteTagFields(const QString& path, TagFormat format, const QList<TagField>& fields);

} // namespace tags
