#pragma once

#include <memory>

namespace options {
class FormatOptions;
}

namespace convert {

//! A copy of the options as they stand now, for a conversion to read on a
//! worker thread while the window keeps its own: every saved option, and the
//! WMA tag boxes. A conversion reads its options the moment it starts, as
//! before; a change made while it runs applies to the rows started after.
std::unique_ptr<options::FormatOptions> SnapshotOptions(const options::FormatOptions& options);

} // namespace convert
