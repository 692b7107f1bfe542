#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace platform {

//! A file system path as a value: '/'-separated text with the questions asked
//! of it answered in one place (its folder, its name, the name's extension,
//! where it lies below another path) and paths joined with `/`.
//!
//! It only reads and joins the text: nothing touches the disk or cleans the
//! path up. A name holding bytes that are not UTF-8 travels as
//! fromNativeName() made it; '/' and '.' are never part of such a byte, so
//! every part keeps the bytes the whole had (nativeName() of a part gives
//! the part's own bytes).
class Path {
public:
    Path() = default;
    explicit Path(QString text) : m_text(std::move(text)) {}

    const QString& toString() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    //! Everything after the last '/' ("b.flac" of "/m/a/b.flac"); the whole
    //! text when there is none.
    QString fileName() const;
    //! The folder: everything before the last '/' ("/m/a" of "/m/a/b.flac"),
    //! "/" for a name at the root and "." for a path without a folder.
    Path parent() const;
    //! The file name's extension without its dot: what follows the name's
    //! last '.' ("flac" of "a.b.flac"). None when the name has no dot or
    //! only a leading one (".hidden"); empty after a trailing one ("song.").
    QString extension() const;
    //! The file name without its extension and that extension's dot ("a.b"
    //! of "a.b.flac", ".hidden" of ".hidden").
    QString stem() const;

    //! Where this path lies below `base`: the rest after `base` and one '/'
    //! ("Artist/a.mp3" of "/m/Artist/a.mp3" below "/m" or "/m/"). None when
    //! it does not lie below it (a sibling whose name begins alike, the base
    //! itself) or `base` is empty.
    std::optional<QString> relativeTo(const Path& base) const;

    //! `relative` below this path, joined with one '/' (none added after a
    //! trailing one, so the root gives "/a", not "//a"); `relative` alone
    //! when this path is empty.
    Path operator/(const QString& relative) const;

    friend bool operator==(const Path&, const Path&) = default;

private:
    QString m_text;
};

//! The deepest folder that holds every one of `folders` or is one of them
//! ("/music" for "/music/a" and "/music/b/c"); "/" when they share nothing
//! more; empty for no folder.
Path commonFolder(const QList<Path>& folders);

} // namespace platform
