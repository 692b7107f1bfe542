#pragma once

#include <QString>

namespace platform {

//! The program folder: where Lang/, the user manual and the encoders beside
//! the program are looked for. TONEMILL_HOME overrides the executable's own
//! folder.
QString programFolder();

//! Where a copy of the program keeps what it reads and writes.
struct ProgramPlaces {
    //! Lang/, the user manual, the encoders beside the program.
    QString programFolder;
    //! The folder of the settings store every user of this copy shares.
    QString settingsFolder;
    //! The copy installed at the prefix it was built for: its program folder
    //! belongs to the system, so nothing is written beside it (the error log
    //! goes to each user's state folder).
    bool installed = false;
};

//! The places of the copy whose executable lies in `executableFolder`.
//! `home` (TONEMILL_HOME, empty when unset) makes any copy a program-folder
//! copy rooted there. The copy whose folder is `installedProgramFolder` is
//! the installed one and keeps its settings in `installedStateFolder`; any
//! other (a build tree, a portable copy) keeps them in its folder's
//! settings/.
ProgramPlaces programPlaces(const QString& executableFolder, const QString& home, const QString& installedProgramFolder,
                            const QString& installedStateFolder);

//! The places of this process, with the install folders it was built for.
ProgramPlaces programPlaces();

} // namespace platform
