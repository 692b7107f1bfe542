#pragma once

#include "tags/WriteFileTags.h"

namespace options {
class FormatOptions;
}

namespace convert {

//! The tags an output of `origfile` receives: the input's own when "Copy tags
//! from the input" is ticked; for a WMA output, every tag box of the WMA page
//! that is filled (and not just showing its placeholder) then overrides its
//! field when "Set WMA File ID Tags" is ticked.
engine::MediaTags outputTags(const options::FormatOptions& options, const QString& origfile, tags::TagFormat format);

//! Writes outputTags() into the complete output file `outFile`, named by its
//! `format`. Empty when they were written, or when TagLib cannot read the
//! file as `format` and left it untouched (that is logged, tonemill.convert,
//! and the audio stands as it was). Otherwise the reason saving failed (a
//! full disk: "No space left on device"): the file may have lost audio and
//! must not be kept.
QString CarryTags(const options::FormatOptions& options, const QString& origfile, const QString& outFile,
                  tags::TagFormat format);

} // namespace convert
