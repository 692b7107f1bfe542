#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

//! The file system questions and changes the program asks of a path, each
//! through nativeName(), so a name whose bytes are not UTF-8 reaches the
//! system byte for byte. Qt's own file classes encode a name as UTF-8 and put
//! U+FFFD in place of such a byte: code outside this folder never hands them a
//! path (scripts/check-native-names.sh fails the suite when it does).
namespace platform {

//! What a path names, links followed.
enum class FileKind { Missing, Regular, Folder, Other };

struct FileStatus {
    FileKind kind = FileKind::Missing;
    qint64 size = 0;
    qint64 modified = 0; //!< seconds since the epoch
    bool executable = false;
    bool readable = false;
};

FileStatus fileStatus(const QString& path);
bool isRegularFile(const QString& path);
bool isFolder(const QString& path);
//! Whether anything at all has that name, a dangling link included.
bool pathTaken(const QString& path);
bool isSymbolicLink(const QString& path);

//! The size of the regular file at `path`; -1 when there is none.
qint64 fileSize(const QString& path);

//! Removes the file (never a folder); false with errno kept.
[[nodiscard]] bool removeFile(const QString& path);
//! Removes `folder` and everything below it, links removed as links, never
//! followed; true when nothing of it is left.
[[nodiscard]] bool removeFolderTree(const QString& folder);
//! Makes `folder` and every missing folder above it.
[[nodiscard]] bool makeFolders(const QString& folder);
//! Makes `link` a symbolic link to `target`.
[[nodiscard]] bool makeSymbolicLink(const QString& target, const QString& link);

//! The names of the regular files directly inside `folder` (links
//! followed), in the order the system lists them.
QStringList fileNamesIn(const QString& folder);

//! Reads the whole of the regular file at `path`, at most `maxBytes`, into
//! `content`. A name that is not a regular file (a folder, a pipe, a device,
//! a socket) is refused before it is opened, so it can neither hold the
//! reader up nor act on a device; the open itself never waits either (a pipe
//! put in the file's place meanwhile is seen and refused). Empty on success,
//! else why, in the system's words ("No such file or directory", "Is a
//! directory", "File too large") or "Not a regular file".
QString readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content);
//! Writes `bytes` to the new file `path` (which must not exist yet).
[[nodiscard]] bool writeNewFile(const QString& path, const QByteArray& bytes);
//! Appends `bytes` to `path`, making it when missing, in one write.
[[nodiscard]] bool appendToFile(const QString& path, const QByteArray& bytes);

//! `path` with every link resolved and no "." or ".." left; empty when it
//! does not exist.
QString canonicalPath(const QString& path);
//! `path` below the current folder when it is relative; unchanged otherwise.
QString absolutePath(const QString& path);
//! The current folder.
QString currentFolder();
//! The user's home folder ($HOME).
QString homeFolder();
//! An environment variable that names a path, its bytes kept; empty when unset.
QString environmentPath(const char* name);

} // namespace platform
