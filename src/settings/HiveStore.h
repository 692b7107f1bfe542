#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

struct sqlite3;

namespace settings {

//! One hive of the settings store: a tree of keys holding named values, kept
//! in one SQLite database file. Key and value names are matched without regard
//! to case and keep the case they were created with; the value named "" is the
//! key's unnamed value. The root key (an empty key path) can hold values but
//! cannot be deleted.
//!
//! Every access runs in one transaction: a reader sees one consistent state,
//! and a write unit is committed whole or not at all (rollback journal with
//! full sync, so a crash or power cut leaves the old or the new state). Another
//! process holding the hive is waited for briefly when reading and a few
//! seconds when writing; then the unit fails and busy() says why.
//!
//! A file that is not a sound hive of ours (damaged, truncated, another
//! program's database, a symbolic link) is never written: reading it finds
//! nothing and every write unit fails. A hive that cannot be written (no
//! rights on the file or its folder) can still be read.
class HiveStore {
public:
    explicit HiveStore(QString filePath);
    ~HiveStore();
    HiveStore(const HiveStore&) = delete;
    HiveStore& operator=(const HiveStore&) = delete;

    using Work = std::function<bool(HiveStore&)>;

    //! Runs `work` in one read transaction. False when the hive file is
    //! missing, unreadable, damaged or foreign, or when `work` returns false.
    //! Never creates a file.
    [[nodiscard]] bool read(const Work& work);

    //! Runs `work` in one write transaction, committed only when it returns
    //! true. With `createIfMissing` the folder and the hive file are made when
    //! missing; otherwise a missing hive fails. False when nothing was written.
    //! With `briefly` another process's lock is waited for only as a reader
    //! waits.
    [[nodiscard]] bool write(bool createIfMissing, const Work& work, bool briefly = false);

    //! Whether the last read() or write() failed because another process
    //! held the hive longer than the unit waits.
    bool busy() const { return m_busy; }

    // Operations on the hive, valid inside read() and write().

    //! The data of value `name` of key `keyPath`; nullopt when either is
    //! missing, or when the data is longer than `maxBytes` (when not
    //! negative): it is then not read, and `tooLong` says so.
    std::optional<QByteArray> value(const QStringList& keyPath, const QString& name, qint64 maxBytes = -1,
                                    bool* tooLong = nullptr);
    //! Sets value `name`, creating the key and its missing parents.
    [[nodiscard]] bool setValue(const QStringList& keyPath, const QString& name, const QByteArray& data);
    //! Deletes value `name`; false when there was no such value.
    [[nodiscard]] bool deleteValue(const QStringList& keyPath, const QString& name);
    //! Deletes the key with all its values; false when it is missing, is the
    //! root, or has sub-keys.
    [[nodiscard]] bool deleteKey(const QStringList& keyPath);
    //! Whether the key exists.
    bool keyExists(const QStringList& keyPath);

    //! Splits a backslash-separated key path into key names; nullopt when a
    //! name is empty (a doubled, leading or trailing backslash). "" is the root.
    static std::optional<QStringList> splitKeyPath(const QString& path);

private:
    enum class Health { Empty, Sound, Unusable };

    [[nodiscard]] bool open(bool writable, bool createIfMissing);
    void close();
    bool attempt(bool writing, const Work& work);
    void waitForLocksUntil(std::chrono::milliseconds patience);
    static int onBusy(void* self, int tries);
    Health checkHealth();
    bool createSchema();
    //! Looks up the subkey `name` of key `parent`: SQLITE_ROW with its id in
    //! `child`, else the lookup's result code.
    int findSubkey(qint64 parent, const QString& name, qint64& child);
    std::optional<qint64> findKey(const QStringList& keyPath);
    std::optional<qint64> createKey(const QStringList& keyPath);
    bool exec(const char* sql);
    bool noteResult(int code);

    QString m_filePath;
    sqlite3* m_db = nullptr;
    bool m_busy = false;   // the last attempt met another process's lock
    bool m_failed = false; // an operation inside the current unit failed
    // When the current unit stops waiting for another process's lock.
    std::chrono::steady_clock::time_point m_waitUntil;
};

} // namespace settings
