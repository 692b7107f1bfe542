#pragma once

#include "tags/WriteFileTags.h"

#include <QString>
#include <functional>

namespace convert {

class ConversionSession;
class ErrorLog;
class OutputFile;
class RowLoudness;

//! An encoder of the engine that writes a file itself (WMA, FLAC, Opus, AAC).
struct FileEncoderCalls {
    std::function<bool(const char* data, unsigned length)> write;
    std::function<bool()> close;
};

//! Pumps the session's conversion stream chunk by chunk into `encoder`, which
//! writes `output`'s temporary file, with progress, Stop and yields; then
//! closes the encoder, carries the input's tags into a complete file, gives it
//! its final name and ends the row; `loudness` measures what the encoder gets
//! and tags it: "Complete" (with the input's damage as its
//! reason, if any), "Cancelled" (the shorter file kept) or "Error" (nothing
//! kept, the reason logged).
void PumpToFileEncoder(ConversionSession& session, const ErrorLog& log, const QString& origfile, OutputFile& output,
                       unsigned chunkBytes, const FileEncoderCalls& encoder, tags::TagFormat format,
                       RowLoudness& loudness);

//! Why an encoder's write or close failed: the system's reason when the file
//! could not be written (a full disk), else the engine's error text.
QString FileEncoderFailure(int code);

} // namespace convert
