#pragma once

#include "convert/WriteFileTags.h"

namespace options {
class FormatOptions;
}

namespace convert {

//! The tags an output of `origfile` receives: the input's own when "Copy tags
//! from the input" is ticked; for a WMA output, every tag box of the WMA page
//! that is filled (and not just showing its placeholder) then overrides its
//! field when "Set WMA File ID Tags" is ticked.
engine::MediaTags outputTags(const options::FormatOptions& options, const QString& origfile, TagFormat format);

//! Writes outputTags() into the complete output file `outFile`, named by its
//! `format`. A failure to write them is logged (tonemill.convert) and
//! returned as false; the audio itself was complete before, so the caller's
//! outcome does not change for it.
bool CarryTags(const options::FormatOptions& options, const QString& origfile, const QString& outFile,
               TagFormat format);

} // namespace convert
