#pragma once

#include <QByteArray>
#include <QString>

namespace convert {

//! The temporary output files this user's runs made where the file system
//! keeps no extended attributes (FAT, exFAT), so no mark can say that a
//! file is ours: each is recorded here before it is created and forgotten
//! once it has its final name or is removed. The leftover sweep removes
//! such a file only when it is recorded, never by the form of its name.
//!
//! The journal is a small file of the user's own beside their error log
//! ("$XDG_STATE_HOME/Tonemill/temporary-outputs"): records of the seconds
//! since the epoch, a blank and the file's name as bytes, each ended by a
//! NUL. Every change is made under a lock of the file, so the runs of one
//! user may share it.
class TemporaryJournal {
public:
    //! Records `nativePath` as about to be created now; false when the
    //! journal cannot be written.
    [[nodiscard]] static bool record(const QByteArray& nativePath);
    //! Forgets `nativePath` (it has its final name, or is gone).
    static void forget(const QByteArray& nativePath);
    //! Whether `nativePath` was recorded no later than `modifiedSeconds`
    //! (the file's modification time): a file of that name that existed
    //! before it was recorded is not the one the run created.
    static bool holds(const QByteArray& nativePath, qint64 modifiedSeconds);
    //! The journal's path.
    static QString path();
};

} // namespace convert
