#include "loudness/LoudnessStore.h"

#include "disc/TrackPath.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <QDateTime>
#include <QDir>
#include <QLoggingCategory>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>

namespace loudness {

namespace {

Q_LOGGING_CATEGORY(lcLoudness, "tonemill.convert.loudness")

constexpr int kBusyMs = 2000;
constexpr qint64 kUnusedDays = 183;
// Block energies are kept as their loudness above -70 LUFS in 1/100 LU.
constexpr double kFloor = -70.0;
constexpr double kSteps = 100.0;

struct Identity {
    qint64 size = -1;
    qint64 modified = 0; // ms since the epoch
};

std::optional<Identity> identityOf(const QString& input)
{
    // From stat itself: a QDateTime of the time would go through the time
    // zone (tzset), which workers must not share with the window's thread.
    struct stat st {};
    if (::stat(platform::nativeName(LoudnessStore::identifyingFile(input)).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return std::nullopt; // a drive's track cannot be told apart from another disc's
    return Identity{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
}

QByteArray packBlocks(const std::vector<float>& blocks)
{
    QByteArray bytes(qsizetype(blocks.size() * 2), Qt::Uninitialized);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const double steps = std::round((LoudnessAnalysis::lufs(blocks[i]) - kFloor) * kSteps);
        qToLittleEndian(static_cast<quint16>(std::clamp(steps, 0.0, 65535.0)), bytes.data() + i * 2);
    }
    return bytes;
}

std::vector<float> unpackBlocks(const void* data, int bytes)
{
    std::vector<float> blocks(static_cast<std::size_t>(bytes / 2));
    const auto* from = static_cast<const char*>(data);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const double lufs = kFloor + qFromLittleEndian<quint16>(from + i * 2) / kSteps;
        blocks[i] = static_cast<float>(LoudnessAnalysis::energy(lufs));
    }
    return blocks;
}

//! An open store, closed when it goes.
class Database {
public:
    explicit Database(const QString& path)
    {
        // A folder that cannot be made fails the open below.
        static_cast<void>(platform::makeFolders(platform::Path(path).parent().toString()));
        if (sqlite3_open_v2(platform::nativeName(path).constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            qCDebug(lcLoudness) << "cannot open" << path << sqlite3_errmsg(m_db);
            close();
            return;
        }
        sqlite3_busy_timeout(m_db, kBusyMs);
        // A cache: a write need not reach the disk before the row goes on
        // (the log keeps the file whole; a power cut loses the latest only).
        run("PRAGMA journal_mode=WAL");
        run("PRAGMA synchronous=NORMAL");
        if (!run("CREATE TABLE IF NOT EXISTS analyses(path BLOB NOT NULL, variant INTEGER NOT NULL,"
                 " size INTEGER NOT NULL, modified INTEGER NOT NULL, sample_peak REAL NOT NULL,"
                 " true_peak REAL NOT NULL, blocks BLOB NOT NULL, used INTEGER NOT NULL,"
                 " PRIMARY KEY(path, variant))"))
            close();
    }
    ~Database() { close(); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    bool run(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        qCDebug(lcLoudness) << "store:" << sqlite3_errmsg(m_db);
        return false;
    }

private:
    void close()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
    }

    sqlite3* m_db = nullptr;
};

//! A prepared statement, finalised when it goes.
class Statement {
public:
    Statement(const Database& db, const char* sql)
    {
        if (db.isOpen())
            sqlite3_prepare_v2(db.handle(), sql, -1, &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_statement; }
    explicit operator bool() const { return m_statement != nullptr; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

void bindPath(sqlite3_stmt* statement, int index, const QByteArray& path)
{
    sqlite3_bind_blob(statement, index, path.constData(), int(path.size()), SQLITE_TRANSIENT);
}

} // namespace

QString LoudnessStore::defaultPath()
{
    QString cache = platform::environmentPath("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = platform::homeFolder() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/Tonemill/loudness.sqlite");
}

LoudnessStore::LoudnessStore(QString path) : m_path(std::move(path)) {}

QString LoudnessStore::identifyingFile(const QString& input)
{
    const std::optional<disc::TrackPath> track = disc::TrackPath::split(input);
    return track ? track->source : input;
}

std::optional<LoudnessAnalysis> LoudnessStore::find(const QString& input, int variant) const
{
    const std::optional<Identity> identity = identityOf(input);
    if (!identity)
        return std::nullopt;
    Database db(m_path);
    Statement query(db, "SELECT sample_peak, true_peak, blocks FROM analyses"
                        " WHERE path = ? AND variant = ? AND size = ? AND modified = ?");
    if (!query)
        return std::nullopt;
    const QByteArray path = platform::nativeName(input);
    bindPath(query.get(), 1, path);
    sqlite3_bind_int(query.get(), 2, variant);
    sqlite3_bind_int64(query.get(), 3, identity->size);
    sqlite3_bind_int64(query.get(), 4, identity->modified);
    if (sqlite3_step(query.get()) != SQLITE_ROW)
        return std::nullopt;
    LoudnessAnalysis analysis;
    analysis.samplePeak = sqlite3_column_double(query.get(), 0);
    analysis.truePeak = sqlite3_column_double(query.get(), 1);
    analysis.blocks = unpackBlocks(sqlite3_column_blob(query.get(), 2), sqlite3_column_bytes(query.get(), 2));

    Statement touch(db, "UPDATE analyses SET used = ? WHERE path = ? AND variant = ?");
    if (touch) {
        sqlite3_bind_int64(touch.get(), 1, QDateTime::currentSecsSinceEpoch());
        bindPath(touch.get(), 2, path);
        sqlite3_bind_int(touch.get(), 3, variant);
        sqlite3_step(touch.get());
    }
    return analysis;
}

bool LoudnessStore::keep(const QString& input, int variant, const LoudnessAnalysis& analysis) const
{
    const std::optional<Identity> identity = identityOf(input);
    if (!identity)
        return false;
    Database db(m_path);
    Statement insert(db, "INSERT OR REPLACE INTO analyses(path, variant, size, modified, sample_peak, true_peak,"
                         " blocks, used) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    if (!insert)
        return false;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QByteArray blocks = packBlocks(analysis.blocks);
    bindPath(insert.get(), 1, platform::nativeName(input));
    sqlite3_bind_int(insert.get(), 2, variant);
    sqlite3_bind_int64(insert.get(), 3, identity->size);
    sqlite3_bind_int64(insert.get(), 4, identity->modified);
    sqlite3_bind_double(insert.get(), 5, analysis.samplePeak);
    sqlite3_bind_double(insert.get(), 6, analysis.truePeak);
    sqlite3_bind_blob(insert.get(), 7, blocks.constData(), int(blocks.size()), SQLITE_STATIC);
    sqlite3_bind_int64(insert.get(), 8, now);
    const bool kept = sqlite3_step(insert.get()) == SQLITE_DONE;

    // Once a run: what has not been used for long goes.
    static std::once_flag pruned;
    std::call_once(pruned, [&db, now] {
        Statement prune(db, "DELETE FROM analyses WHERE used < ?");
        if (prune) {
            sqlite3_bind_int64(prune.get(), 1, now - kUnusedDays * 24 * 3600);
            sqlite3_step(prune.get());
        }
    });
    return kept;
}

} // namespace loudness
