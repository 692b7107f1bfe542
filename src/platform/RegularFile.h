#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

//! Reads the whole of the regular file at `path`, at most `maxBytes`, into
//! `content`. A name that is not a regular file (a folder, a pipe, a device,
//! a socket) is refused before it is opened, so it can neither hold the
//! reader up nor act on a device; the open itself never waits either (a pipe
//! put in the file's place meanwhile is seen and refused). Empty on success,
//! else why, in the system's words ("No such file or directory", "Is a
//! directory", "File too large") or "Not a regular file".
QString readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content);

} // namespace platform
