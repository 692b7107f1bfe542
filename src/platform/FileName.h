#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

//! File names are bytes; most are UTF-8, some are not (copied from old discs,
//! other systems). A name travels as a QString that keeps every byte: valid
//! UTF-8 decodes as usual, and each byte that is not part of valid UTF-8 is
//! kept as one lone surrogate U+DC80 … U+DCFF, so nativeName() gives back
//! exactly the bytes fromNativeName() was given. Every file operation on a
//! path that came from the file system goes through nativeName().
namespace platform {

QString fromNativeName(const QByteArray& bytes);
QByteArray nativeName(const QString& name);

//! The path of a "file:" address, its percent-encoded bytes kept (QUrl's
//! toLocalFile() decodes them as UTF-8); empty for any other address.
QString pathOfFileUrl(const QUrl& url);
//! The "file:" address of `path`, each byte of the name percent-encoded
//! where it must be (QUrl::fromLocalFile() encodes the text as UTF-8).
QUrl fileUrl(const QString& path);

//! The name as it is shown: kept bytes appear as U+FFFD.
QString displayName(const QString& name);

//! Whether the name holds bytes that are not valid UTF-8.
bool hasRawBytes(const QString& name);

//! The ways renameNoReplace() gives a name, in the order it tries them: each
//! next one only where the file system refuses the one before.
enum class RenameWay {
    NoReplaceRename, //!< renameat2(RENAME_NOREPLACE): atomic
    HardLink,        //!< link() and unlink(): atomic too
    CheckedRename,   //!< rename() after lstat() found the name free
};

//! Renames `from` to `to` without ever replacing anything: 0, or the
//! system's error (EEXIST when `to` exists in any form, a link included).
//! `first` skips the ways before it, so a test runs the fallbacks on a file
//! system that has the first.
int renameNoReplace(const QByteArray& from, const QByteArray& to, RenameWay first = RenameWay::NoReplaceRename);

} // namespace platform
