#pragma once

#include <QString>

namespace platform {

//! Where each file and folder dialog opens: the folder it was last used in,
//! kept for the user beside the language choice under the dialog's name
//! (UserSettings "Dialogs/<name>"), or the home folder when none is kept or
//! the folder is gone.
class DialogFolders {
public:
    //! The folder dialog `key` was last used in, when it still exists; empty
    //! otherwise.
    static QString lastFolder(const QString& key);
    //! The folder dialog `key` opens in: lastFolder(), or the home folder.
    static QString startFolder(const QString& key);
    //! Keeps `folder` as the one dialog `key` was last used in (the folder of
    //! the files chosen, or the folder picked).
    static void remember(const QString& key, const QString& folder);
};

} // namespace platform
