#pragma once

#include <QString>

namespace options {
class FormatOptions;
}

namespace convert {

//! The number a list text starts with, written back as a plain decimal
//! without trailing zeros: "44.1 KHz" gives "44.1", "128 Kbps" "128",
//! "Auto Sampling" "0".
QString numberFromListText(const QString& text);

//! How a command line names an encoder program: the copy in `programFolder`
//! when that is an executable file there (quoted), otherwise the bare `name`,
//! which the encoder hook looks up on PATH.
QString encoderProgram(const QString& name, const QString& programFolder);

//! The command line that runs `lame` (MP3 chosen) or `oggenc` (OGG chosen)
//! with the chosen options, reading WAV on its standard input and writing
//! `outFile` ("-": its standard output). Empty when neither MP3 nor OGG is
//! chosen. The output path is one quoted argument whatever it holds; a path
//! that begins with "-" is given as "./-…" so that no encoder can take it for
//! an option. An OGG quality of -2 is passed as -1, the lowest oggenc takes.
QString BuildEncoderCommandLine(const options::FormatOptions& options, const QString& outFile,
                                const QString& programFolder);

} // namespace convert
