#pragma once

#include <QString>

//! Folders of the running user in the shared store. The store is shared by
//! every user of the installation, so a folder in the user's home is kept in
//! a form that names no user ("~" for the home folder) and read back as the
//! home folder of whoever reads it.
namespace settings::userfolder {

//! `folder` with the running user's home folder at its start written as "~";
//! other folders as they are.
QString toStoredForm(const QString& folder);

//! A stored folder with a leading "~" (alone or before a "/") read as the
//! running user's home folder; other texts as they are.
QString fromStoredForm(const QString& text);

//! Whether the running user can write into `folder`, or, when it is missing,
//! create it (one level: its parent must exist), as a conversion does.
bool usable(const QString& folder);

} // namespace settings::userfolder
