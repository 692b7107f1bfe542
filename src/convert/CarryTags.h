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
MediaTags outputTags(const options::FormatOptions& options, const QString& origfile, TagFormat format);

//! Writes outputTags() into the complete output file `outFile`. A failure
//! leaves the audio as it is and is logged (tonemill.convert): the output
//! stays usable, only without its tags. False on such a failure.
bool CarryTags(const options::FormatOptions& options, const QString& origfile, const QString& outFile,
               TagFormat format);

} // namespace convert
