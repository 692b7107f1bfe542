#pragma once

#include <QString>
#include <functional>

namespace convert {

//! Whether `path` holds a complete output in the format of index `format`
//! for an input `inputSeconds` long: a plain file (not a link) whose
//! container and codec are the ones that format writes, whose playing time
//! is the input's within one frame of its codec, and whose last second
//! decodes. Checked by reading the file, never guessed from its name or size.
bool IsCompleteOutput(const QString& path, int format, double inputSeconds);

//! The complete output a row already has: walks the names BuildOutputPath()
//! tries, from `wanted` on ("a.mp3", "a_Converted.mp3", "a_Converted_0.mp3",
//! …) as long as they exist, and returns the first that IsCompleteOutput(),
//! is not the input itself and is not `claimed` (by another row of the
//! batch). Empty when there is none.
QString FindCompleteOutput(const QString& wanted, const QString& inputPath, int format, double inputSeconds,
                           const std::function<bool(const QString&)>& claimed = {});

} // namespace convert
