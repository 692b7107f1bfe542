#pragma once

#include "convert/ReplayGainFields.h"
#include "convert/WriteFileTags.h"

#include <QList>
#include <QString>

namespace convert {

//! Sets `fields` in the file at `path` as the free-form fields of its
//! `format`, replacing fields of the same names and leaving every other tag
//! as it was: ID3v2 user texts (TXXX) in MP3 and in WAV's ID3 chunk, Vorbis
//! comments in Ogg Vorbis, Opus and FLAC, "----:com.apple.iTunes:" items in
//! MP4, attributes in WMA. True for no fields; false when the file cannot be
//! read as `format` or saved.
[[nodiscard]] bool WriteTagFields(const QString& path, TagFormat format, const QList<TagField>& fields);

//! The same for a finished output that carries its final name: the change is
//! made in a copy beside it, which then replaces it, so that a full disk or a
//! crash never leaves the output half written. `why` receives the reason of
//! a failure (the output is then as it was).
[[nodiscard]] bool RewriteTagFields(const QString& path, TagFormat format, const QList<TagField>& fields, QString* why);

} // namespace convert
