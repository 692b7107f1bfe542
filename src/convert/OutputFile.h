#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace convert {

//! An output being written. The audio goes into a hidden temporary file in the
//! output folder (".tonemill-XXXXXXXX.part.<ext>", locked while it is written
//! and marked as temporary before it has that name: an extended attribute, or
//! where the file system keeps none a record in the user's TemporaryJournal),
//! and only a complete file gets its final name:
//! a crash, kill -9 or a power cut never leaves half a file under a name a
//! user would take for a result. Every write, the flush to disk and the
//! rename are checked; the first failure is kept as the system's reason.
//!
//! The final name is given atomically and never replaces anything: when
//! another run took the name (or a folder has it) meanwhile, the next free
//! name of the "_Converted" / "_0" … "_10000" sequence is taken instead.
//! Instances are independent, so several threads may each write one.
class OutputFile {
public:
    //! Creates the temporary file beside `finalPath`, already marked, under a
    //! path an encoder may open. Before the first one in a folder, temporary
    //! files that killed runs left there are removed.
    //! Null with `why` set when it cannot be created.
    [[nodiscard]] static std::unique_ptr<OutputFile> create(const QString& finalPath, QString* why);
    //! Removes the temporary file unless commit() gave it its name.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    //! Where the bytes go until commit(); an encoder that opens the file
    //! itself is given this path.
    const QString& temporaryPath() const { return m_temporary; }
    //! The name wanted, and after commit() the name the file really got.
    const QString& finalPath() const { return m_final; }

    //! Appends `bytes` bytes; false (and the reason kept) when not all were written.
    [[nodiscard]] bool write(const char* data, qint64 bytes);
    //! Writes at `offset` without moving the append position.
    [[nodiscard]] bool writeAt(qint64 offset, const char* data, qint64 bytes);
    //! The bytes in the file now (whoever wrote them).
    qint64 size() const;

    //! Records a failure found elsewhere (an encoder that could not write).
    void setFailed(const QString& reason);
    bool failed() const { return !m_error.isEmpty(); }
    //! The first failure, in the system's words ("No space left on device").
    const QString& error() const { return m_error; }

    //! Flushes the file to disk and gives it its final name (the next free
    //! one when that is taken). False, with error() set, when any step fails:
    //! the temporary file is then removed.
    [[nodiscard]] bool commit();
    //! commit() under `finalPath` instead of the name given at creation (the
    //! shorter file of a stopped conversion).
    [[nodiscard]] bool commitAs(const QString& finalPath);
    //! Flushes the file to disk and puts it in the place of the file that
    //! has the final name, in one step (a changed copy of a finished output
    //! replaces it: no moment leaves the name without a whole file). False,
    //! with error() set, when any step fails: the temporary file is then
    //! removed and the file of that name is left as it was.
    [[nodiscard]] bool commitReplacing();
    //! Closes and removes the temporary file.
    void discard();

    //! Whether `fileName` (no folder) has exactly the form of a temporary
    //! output file's name: ".tonemill-" + 8 letters or digits + ".part",
    //! then "." and a lower-case extension of up to 8 letters or digits.
    static bool isTemporaryName(const QString& fileName);
    //! Removes the temporary files in `folder` that this program provably made
    //! and no running conversion holds (left by a run that was killed):
    //! files of the exact temporary form, owned by this user, carrying the
    //! mark every temporary file gets (or, where the file system keeps no
    //! extended attributes, recorded in the user's journal; never by the
    //! form of the name alone), never an input of the running batch nor an
    //! output this process made. Returns how many were removed.
    static int removeLeftovers(const QString& folder);
    //! Removes the temporary files of every output of this process still
    //! being written: the process is about to end at once.
    static void removeUnfinished();
    //! The inputs of the batch that starts: the sweep never removes one of
    //! them, whatever its name.
    static void setRunInputs(const QStringList& paths);

private:
    //! How the final name is given.
    enum class Naming {
        NextFreeName, //!< the name wanted, or the next free one; nothing is replaced
        Replace,      //!< in the place of the file of that name
    };

    OutputFile() = default;
    bool fail(int error);
    //! Every commit: flushed, unmarked, forgotten by the journal, named.
    [[nodiscard]] bool finish(Naming naming);
    bool replaceFinal();
    //! Writes all `bytes`, at `offset` when given, else appended.
    [[nodiscard]] bool writeAll(const char* data, qint64 bytes, std::optional<qint64> offset);
    bool giveFinalName();
    //! After the rename: the folder's entry on disk, the file closed (and
    //! its name removed when `removeOnFailure` and the close fails).
    [[nodiscard]] bool closeCommitted(bool removeOnFailure);

    int m_fd = -1;
    QString m_temporary;
    QString m_final;
    QString m_error;
    bool m_committed = false;
    bool m_journalled = false; // recorded in the journal: no mark could be kept
};

} // namespace convert
