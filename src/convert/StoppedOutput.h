#pragma once

#include <QString>

namespace convert {

class ConversionSession;
class OutputFile;

//! The name the shorter file of a stopped conversion is kept under, beside
//! the name the complete file would have had, so that it can never be taken
//! for a result: "a10 (stopped at 06m49s).mp3" for "a10.mp3" stopped after
//! 409 s. `format` words it ("%1 (stopped at %2)"); the time avoids ':',
//! which some file systems of removable media refuse.
QString StoppedOutputPath(const QString& finalPath, double seconds, const QString& format);

//! Keeps what a stopped conversion wrote, under StoppedOutputPath() (the
//! next free name when that is taken), and tells the session; when nothing
//! was written, or it cannot be kept, the temporary file is removed.
void KeepStoppedOutput(ConversionSession& session, OutputFile& output, double seconds);

} // namespace convert
