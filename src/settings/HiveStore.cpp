#include "settings/HiveStore.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/LogCategories.h"
#include "platform/Path.h"

#include <QSet>
#include <fcntl.h>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace settings {

namespace {

// Marks a database as a hive of ours ("TMhv") and gives the layout's version.
constexpr int kApplicationId = 0x544d6876;
constexpr int kSchemaVersion = 1;
// How long a unit waits for another process's lock before it gives up. A
// reader waits briefly: the options are read at every start, and a store held
// open by someone else must not stall it. A save may wait a few seconds.
constexpr int kReadTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 5000;

// Keys below the root have parent 0; the root's own values have key 0.
constexpr const char* kSchema[] = {
    "CREATE TABLE hive_keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL,"
    " fold TEXT NOT NULL, UNIQUE(parent, fold))",
    "CREATE TABLE hive_values(key INTEGER NOT NULL, name TEXT NOT NULL, fold TEXT NOT NULL,"
    " data BLOB NOT NULL, PRIMARY KEY(key, fold)) WITHOUT ROWID",
};

QByteArray fold(const QString& name)
{
    return name.toCaseFolded().toUtf8();
}

bool isBusy(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

//! Says once per file and process that a store is left alone: it is read
//! many times.
void warnUnusable(const QString& filePath, const char* why)
{
    static std::mutex mutex;
    static QSet<QString> warned;
    std::lock_guard lock(mutex);
    if (warned.contains(filePath))
        return;
    warned.insert(filePath);
    qCWarning(lcSettings, "Settings store %s is not usable (%s); it is left as it is and the defaults apply.",
              qUtf8Printable(filePath), why);
}

//! A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { m_result = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, qint64 number) { keep(sqlite3_bind_int64(m_stmt, index, number)); }
    void bindText(int index, const QByteArray& text)
    {
        keep(sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT));
    }
    void bindBlob(int index, const QByteArray& bytes)
    {
        // A zero-length blob with a null pointer would be bound as NULL.
        keep(bytes.isEmpty()
                 ? sqlite3_bind_zeroblob(m_stmt, index, 0)
                 : sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
    }

    //! SQLITE_ROW, SQLITE_DONE or the error that stopped the statement.
    int step() { return m_result == SQLITE_OK ? sqlite3_step(m_stmt) : m_result; }

    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QByteArray bytes(int column) const
    {
        const void* data = sqlite3_column_blob(m_stmt, column);
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_stmt, column));
    }

private:
    void keep(int code)
    {
        if (m_result == SQLITE_OK)
            m_result = code;
    }

    sqlite3_stmt* m_stmt = nullptr;
    int m_result = SQLITE_OK;
};

//! A hive just made in a folder its group may write (a store every user of
//! the machine shares, as an installation's state folder is) is made
//! readable and writable by that group too, whatever the maker's umask, so
//! that the first user to save does not keep the store to themselves. The
//! journals SQLite writes beside it take the file's mode.
void shareAsFolderIs(const QString& filePath)
{
    struct stat folder {};
    const QString folderPath = platform::Path(platform::absolutePath(filePath)).parent().toString();
    if (::stat(platform::nativeName(folderPath).constData(), &folder) != 0 || (folder.st_mode & S_IWGRP) == 0)
        return;
    const int fd = ::open(platform::nativeName(filePath).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat file {};
    if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode) && file.st_uid == ::geteuid() &&
        ::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP) != 0)
        qCInfo(lcSettings, "Settings store %s cannot be shared with its folder's group", qUtf8Printable(filePath));
    ::close(fd);
}

} // namespace

HiveStore::HiveStore(QString filePath) : m_filePath(std::move(filePath)) {}

HiveStore::~HiveStore()
{
    close();
}

std::optional<QStringList> HiveStore::splitKeyPath(const QString& path)
{
    if (path.isEmpty())
        return QStringList();
    const QStringList names = path.split(QLatin1Char('\\'));
    for (const QString& name : names)
        if (name.isEmpty())
            return std::nullopt;
    return names;
}

bool HiveStore::read(const Work& work)
{
    if (!open(false, false))
        return false;
    waitForLocksUntil(std::chrono::milliseconds(kReadTimeoutMs));
    const bool ok = attempt(false, work);
    if (m_busy)
        qCInfo(lcSettings, "Settings store %s is held by another process; not read", qUtf8Printable(m_filePath));
    close();
    return ok;
}

bool HiveStore::write(bool createIfMissing, const Work& work, bool briefly)
{
    if (!open(true, createIfMissing))
        return false;
    waitForLocksUntil(std::chrono::milliseconds(briefly ? kReadTimeoutMs : kWriteTimeoutMs));
    const bool ok = attempt(true, work);
    if (m_busy)
        qCInfo(lcSettings, "Settings store %s is held by another process; not written", qUtf8Printable(m_filePath));
    close();
    return ok;
}

bool HiveStore::open(bool writable, bool createIfMissing)
{
    close();
    m_busy = false;
    // A link in the store's place could make any file it names (or a new
    // one where it points) a store: it is refused as a damaged store is.
    if (platform::isSymbolicLink(m_filePath)) {
        warnUnusable(m_filePath, "a symbolic link");
        return false;
    }
    if (createIfMissing) {
        const QString folder = platform::Path(platform::absolutePath(m_filePath)).parent().toString();
        if (!platform::makeFolders(folder)) {
            qCInfo(lcSettings, "Settings folder %s cannot be made; nothing is written", qUtf8Printable(folder));
            return false;
        }
    } else if (!platform::pathTaken(m_filePath)) {
        return false;
    }
    const bool making = !platform::pathTaken(m_filePath);

    // Even a reader opens for writing when it may, so that it can roll back
    // what a crashed writer left half done; a write-protected file is then
    // opened read-only by SQLite itself. NOFOLLOW closes the gap between the
    // check above and the opening.
    const int flags =
        SQLITE_OPEN_READWRITE | (createIfMissing ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW;
    if (sqlite3_open_v2(platform::nativeName(m_filePath).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        qCInfo(lcSettings, "Settings store %s cannot be opened: %s", qUtf8Printable(m_filePath),
               m_db ? sqlite3_errmsg(m_db) : "out of memory");
        close();
        return false;
    }
    if (making)
        shareAsFolderIs(m_filePath);
    if (writable && sqlite3_db_readonly(m_db, "main") == 1) {
        qCInfo(lcSettings, "Settings store %s is read-only for this user; nothing is written",
               qUtf8Printable(m_filePath));
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    // A file in our place may come from anyone: run none of its triggers or
    // views, and let no statement write its pages raw.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_exec(m_db, "PRAGMA synchronous=FULL; PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
    return true;
}

void HiveStore::waitForLocksUntil(std::chrono::milliseconds patience)
{
    m_waitUntil = std::chrono::steady_clock::now() + patience;
    sqlite3_busy_handler(m_db, &HiveStore::onBusy, this);
}

int HiveStore::onBusy(void* self, int tries)
{
    // Short, even steps: SQLite's own timeout backs off to 100 ms between
    // looks, and a writer that saves again and again then takes every gap.
    (void)tries;
    const auto* hive = static_cast<const HiveStore*>(self);
    if (std::chrono::steady_clock::now() >= hive->m_waitUntil)
        return 0;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
    return 1;
}

void HiveStore::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool HiveStore::attempt(bool writing, const Work& work)
{
    m_busy = false;
    m_failed = false;
    // IMMEDIATE takes the write lock first, so two writers queue up instead of
    // deadlocking on the upgrade from reading to writing.
    if (!exec(writing ? "BEGIN IMMEDIATE" : "BEGIN"))
        return false;

    bool ok = false;
    switch (checkHealth()) {
    case Health::Empty:
        ok = writing && createSchema() && work(*this) && !m_failed;
        break;
    case Health::Sound:
        ok = work(*this) && !m_failed;
        break;
    case Health::Unusable:
        break;
    }
    if (ok && writing)
        ok = exec("COMMIT");
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return ok;
}

HiveStore::Health HiveStore::checkHealth()
{
    const auto unusable = [this](const char* why) {
        if (!m_busy)
            warnUnusable(m_filePath, why);
        return Health::Unusable;
    };

    Statement objects(m_db, "SELECT type, name FROM sqlite_schema");
    int count = 0;
    int tables = 0;
    bool unexpected = false;
    int code;
    while ((code = objects.step()) == SQLITE_ROW) {
        ++count;
        const QByteArray type = objects.bytes(0);
        const QByteArray name = objects.bytes(1);
        if (type == "table" && (name == "hive_keys" || name == "hive_values"))
            ++tables;
        else if (type != "index")
            unexpected = true;
    }
    if (!noteResult(code))
        return unusable("not a database");

    Statement id(m_db, "PRAGMA application_id");
    Statement version(m_db, "PRAGMA user_version");
    if (!noteResult(id.step()) || !noteResult(version.step()))
        return unusable("not a database");
    // A new file, or one whose creation was rolled back, holds nothing at all.
    if (count == 0 && id.integer(0) == 0 && version.integer(0) == 0)
        return Health::Empty;
    if (id.integer(0) != kApplicationId || version.integer(0) != kSchemaVersion)
        return unusable("another program's database");
    if (unexpected || tables != 2)
        return unusable("unexpected contents");

    Statement check(m_db, "PRAGMA quick_check");
    if (!noteResult(code = check.step()) || code != SQLITE_ROW || check.bytes(0) != "ok")
        return unusable("damaged");
    return Health::Sound;
}

bool HiveStore::createSchema()
{
    for (const char* sql : kSchema)
        if (!exec(sql))
            return false;
    return exec(QByteArray("PRAGMA application_id=" + QByteArray::number(kApplicationId)).constData()) &&
           exec(QByteArray("PRAGMA user_version=" + QByteArray::number(kSchemaVersion)).constData());
}

bool HiveStore::exec(const char* sql)
{
    return noteResult(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

bool HiveStore::noteResult(int code)
{
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE)
        return true;
    if (isBusy(code))
        m_busy = true;
    m_failed = true;
    return false;
}

int HiveStore::findSubkey(qint64 parent, const QString& name, qint64& child)
{
    Statement find(m_db, "SELECT id FROM hive_keys WHERE parent = ?1 AND fold = ?2");
    find.bind(1, parent);
    find.bindText(2, fold(name));
    const int code = find.step();
    if (code == SQLITE_ROW)
        child = find.integer(0);
    return code;
}

std::optional<qint64> HiveStore::findKey(const QStringList& keyPath)
{
    qint64 key = 0;
    for (const QString& name : keyPath) {
        if (const int code = findSubkey(key, name, key); code != SQLITE_ROW) {
            noteResult(code);
            return std::nullopt;
        }
    }
    return key;
}

std::optional<qint64> HiveStore::createKey(const QStringList& keyPath)
{
    qint64 key = 0;
    for (const QString& name : keyPath) {
        const int code = findSubkey(key, name, key);
        if (code == SQLITE_ROW)
            continue;
        if (!noteResult(code))
            return std::nullopt;
        Statement insert(m_db, "INSERT INTO hive_keys(parent, name, fold) VALUES(?1, ?2, ?3)");
        insert.bind(1, key);
        insert.bindText(2, name.toUtf8());
        insert.bindText(3, fold(name));
        if (!noteResult(insert.step()))
            return std::nullopt;
        key = sqlite3_last_insert_rowid(m_db);
    }
    return key;
}

std::optional<QByteArray> HiveStore::value(const QStringList& keyPath, const QString& name, qint64 maxBytes,
                                           bool* tooLong)
{
    if (tooLong)
        *tooLong = false;
    const auto key = findKey(keyPath);
    if (!key)
        return std::nullopt;
    // A value beyond the bound is never brought into memory: only its length is.
    Statement select(m_db, "SELECT CASE WHEN ?3 < 0 OR length(data) <= ?3 THEN data END, length(data)"
                           " FROM hive_values WHERE key = ?1 AND fold = ?2");
    select.bind(1, *key);
    select.bindText(2, fold(name));
    select.bind(3, maxBytes);
    const int code = select.step();
    if (code != SQLITE_ROW) {
        noteResult(code);
        return std::nullopt;
    }
    QByteArray data = select.bytes(0);
    // length() counts the characters of a text value: the bytes decide.
    if (maxBytes >= 0 && (select.integer(1) > maxBytes || data.size() > maxBytes)) {
        if (tooLong)
            *tooLong = true;
        return std::nullopt;
    }
    return data;
}

bool HiveStore::setValue(const QStringList& keyPath, const QString& name, const QByteArray& data)
{
    const auto key = createKey(keyPath);
    if (!key)
        return false;
    // An existing value keeps the letter case of its name, as in a registry.
    Statement upsert(m_db, "INSERT INTO hive_values(key, name, fold, data) VALUES(?1, ?2, ?3, ?4)"
                           " ON CONFLICT(key, fold) DO UPDATE SET data = excluded.data");
    upsert.bind(1, *key);
    upsert.bindText(2, name.toUtf8());
    upsert.bindText(3, fold(name));
    upsert.bindBlob(4, data);
    return noteResult(upsert.step());
}

bool HiveStore::deleteValue(const QStringList& keyPath, const QString& name)
{
    const auto key = findKey(keyPath);
    if (!key)
        return false;
    Statement remove(m_db, "DELETE FROM hive_values WHERE key = ?1 AND fold = ?2");
    remove.bind(1, *key);
    remove.bindText(2, fold(name));
    return noteResult(remove.step()) && sqlite3_changes(m_db) > 0;
}

bool HiveStore::deleteKey(const QStringList& keyPath)
{
    if (keyPath.isEmpty())
        return false;
    const auto key = findKey(keyPath);
    if (!key)
        return false;
    Statement children(m_db, "SELECT 1 FROM hive_keys WHERE parent = ?1 LIMIT 1");
    children.bind(1, *key);
    const int code = children.step();
    if (code != SQLITE_DONE) {
        noteResult(code);
        return false;
    }
    Statement values(m_db, "DELETE FROM hive_values WHERE key = ?1");
    values.bind(1, *key);
    Statement self(m_db, "DELETE FROM hive_keys WHERE id = ?1");
    self.bind(1, *key);
    return noteResult(values.step()) && noteResult(self.step());
}

bool HiveStore::keyExists(const QStringList& keyPath)
{
    return findKey(keyPath).has_value();
}

} // namespace settings
