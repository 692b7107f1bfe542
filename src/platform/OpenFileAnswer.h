#pragma once

#include <QString>
#include <QStringList>

namespace platform {

//! What the open-file dialog answers: the files chosen, or none when the user
//! cancelled or the dialog failed.
//!
//! A choice is refused (as if cancelled) when its classic text form would
//! exceed kLimit characters: one path and a NUL, or the chosen files' common
//! folder, NUL, each path relative to it followed by NUL, and a closing NUL.
class OpenFileAnswer {
public:
    //! Characters the classic text form may take, its NULs included.
    static constexpr qsizetype kLimit = 5000;

    //! Cancelled.
    OpenFileAnswer() = default;
    //! The answer for the absolute paths chosen (in their order): cancelled
    //! when there are none or they exceed the limit.
    static OpenFileAnswer chosen(const QStringList& absolutePaths);

    bool cancelled() const { return m_paths.isEmpty(); }
    //! The chosen files' absolute paths; empty when cancelled.
    const QStringList& paths() const { return m_paths; }

    //! The characters the classic text form of `absolutePaths` takes; -1
    //! when they share no folder.
    static qsizetype textLength(const QStringList& absolutePaths);

private:
    QStringList m_paths;
};

} // namespace platform
