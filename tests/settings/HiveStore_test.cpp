#include "StoreTest.h"
#include "settings/CRegister.h"
#include "settings/HiveStore.h"
#include "support/Fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <grp.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace settings; // the subsystem under test
using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString kSection = QStringLiteral("Software\\Korvane Tonemill\\Settings");
constexpr uid_t kNobody = 65534;

QString helperPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/settings_hive_helper");
}

//! The result of SQLite's full integrity check of a database file.
QByteArray integrityCheck(const QString& path)
{
    sqlite3* db = nullptr;
    QByteArray result = "cannot open";
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        result = "cannot check";
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

//! Sets up a helper process; as root it runs as "nobody", so that file modes
//! really deny it writing, as they would an ordinary user.
void prepareHelper(QProcess& process, const QStringList& arguments, bool unprivileged)
{
    process.setProgram(helperPath());
    process.setArguments(arguments);
    if (unprivileged && geteuid() == 0) {
        process.setChildProcessModifier([] {
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
                _exit(99);
        });
    }
}

struct HelperRun {
    int exitCode = -1;
    QByteArray output;
};

HelperRun runHelper(const QStringList& arguments, bool unprivileged = false)
{
    QProcess process;
    prepareHelper(process, arguments, unprivileged);
    process.start();
    HelperRun run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    return run;
}

class HiveStoreTest : public storetest::StoreTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Let a helper running as another user reach the store.
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    }

    QString get(const QString& name) const { return StoreTest::get(kSection, name); }
    bool save(const QString& name, const QString& value) const { return StoreTest::save(kSection, name, value); }

    //! Fills the store with `count` values of `size` characters each.
    void fill(int count, int size)
    {
        QList<std::pair<QString, QString>> values;
        for (int i = 0; i < count; ++i)
            values.append({QStringLiteral("v%1").arg(i), QStringLiteral("0:") + QString(size, QLatin1Char('x'))});
        ASSERT_TRUE(reg.saveValues(HKEY_LOCAL_MACHINE, kSection, values));
    }

    //! A store that must not be touched: reads give defaults, every write and
    //! delete fails, and the file's bytes stay as they were.
    void expectUntouchable(const QByteArray& bytes)
    {
        EXPECT_EQ(get(QStringLiteral("v0")), QStringLiteral("DEF"));
        EXPECT_FALSE(save(QStringLiteral("v0"), QStringLiteral("new")));
        EXPECT_FALSE(reg.saveValues(HKEY_LOCAL_MACHINE, kSection, {{QStringLiteral("a"), QStringLiteral("b")}}));
        EXPECT_FALSE(remove(kSection, QStringLiteral("v0")));
        EXPECT_FALSE(remove(kSection, QString()));
        EXPECT_EQ(readFile(hive), bytes);
        EXPECT_FALSE(QFileInfo::exists(hive + QStringLiteral("-journal")));
    }

    QString hive = reg.hivePath(HKEY_LOCAL_MACHINE);
};

TEST_F(HiveStoreTest, SplitKeyPathRejectsEmptyNames)
{
    EXPECT_EQ(HiveStore::splitKeyPath(QString()), QStringList());
    EXPECT_EQ(HiveStore::splitKeyPath(QStringLiteral("A\\b c\\D")),
              (QStringList{QStringLiteral("A"), QStringLiteral("b c"), QStringLiteral("D")}));
    for (const char* bad : {"\\A", "A\\", "A\\\\B", "\\"})
        EXPECT_FALSE(HiveStore::splitKeyPath(QString::fromLatin1(bad))) << bad;
}

TEST_F(HiveStoreTest, RandomBytesAreNeverOverwritten)
{
    QByteArray noise(8192, '\0');
    for (char& byte : noise)
        byte = char(QRandomGenerator::global()->bounded(256));
    ASSERT_TRUE(QDir().mkpath(hiveFolder));
    ASSERT_TRUE(writeFile(hive, noise));
    expectUntouchable(noise);
}

TEST_F(HiveStoreTest, TruncatedStoreIsNeverOverwritten)
{
    fill(200, 300);
    const QByteArray whole = readFile(hive);
    ASSERT_GT(whole.size(), 40000);
    for (const qsizetype size : {whole.size() / 2, whole.size() / 2 + 1000, qsizetype(4096), qsizetype(60)}) {
        const QByteArray cut = whole.left(size);
        ASSERT_TRUE(writeFile(hive, cut));
        SCOPED_TRACE(size);
        expectUntouchable(cut);
    }
}

TEST_F(HiveStoreTest, AnotherProgramsDatabaseIsNeverOverwritten)
{
    ASSERT_TRUE(QDir().mkpath(hiveFolder));
    const auto makeDatabase = [&](const char* sql) {
        QFile::remove(hive);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    };

    makeDatabase("CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('mine')");
    expectUntouchable(readFile(hive));

    // Our own layout and marks, but with a trigger in it: not ours either.
    ASSERT_TRUE(QFile::remove(hive));
    fill(1, 1);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TRIGGER t AFTER INSERT ON hive_values BEGIN DELETE FROM hive_keys; END", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectUntouchable(readFile(hive));

    // An empty file holds nothing to lose: it becomes a store.
    ASSERT_TRUE(writeFile(hive, QByteArray()));
    EXPECT_TRUE(save(QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_EQ(get(QStringLiteral("a")), QStringLiteral("1"));
}

// A link in the store's place is refused as a damaged store is: the file it
// names never becomes a store, and a link to a missing path makes nothing.
TEST_F(HiveStoreTest, AStoreThatIsALinkIsNeverFollowed)
{
    ASSERT_TRUE(QDir().mkpath(hiveFolder));
    const QString precious = dir.filePath(QStringLiteral("precious.txt"));
    ASSERT_TRUE(writeFile(precious, "precious bytes\n"));
    ASSERT_TRUE(QFile::link(precious, hive));
    expectUntouchable("precious bytes\n");
    EXPECT_EQ(readFile(precious), "precious bytes\n");

    ASSERT_TRUE(QFile::remove(hive));
    const QString nowhere = dir.filePath(QStringLiteral("nowhere.db"));
    ASSERT_TRUE(QFile::link(nowhere, hive));
    EXPECT_FALSE(save(QStringLiteral("v0"), QStringLiteral("new")));
    EXPECT_EQ(get(QStringLiteral("v0")), QStringLiteral("DEF"));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_TRUE(QFileInfo(hive).isSymLink());
}

TEST_F(HiveStoreTest, WithoutWriteRightsReadingStillWorksAndNothingChanges)
{
    const QByteArray folderPath = QFile::encodeName(hiveFolder);
    const QByteArray hivePath = QFile::encodeName(hive);
    ASSERT_TRUE(save(QStringLiteral("txtOutPath"), QStringLiteral("/srv/out")));
    const QByteArray before = readFile(hive);
    const auto expectReadOnly = [&] {
        EXPECT_EQ(runHelper({"get", hiveFolder, kSection, "txtOutPath", "DEF"}, true).output, "/srv/out");
        EXPECT_EQ(runHelper({"save", hiveFolder, kSection, "txtOutPath", "/tmp/other"}, true).exitCode, 1);
        EXPECT_EQ(runHelper({"save", hiveFolder, kSection, "newValue", "x"}, true).exitCode, 1);
        EXPECT_EQ(runHelper({"delete", hiveFolder, kSection, "txtOutPath"}, true).exitCode, 1);
        EXPECT_EQ(runHelper({"delete", hiveFolder, kSection, ""}, true).exitCode, 1);
        EXPECT_EQ(readFile(hive), before);
        EXPECT_EQ(get(QStringLiteral("txtOutPath")), QStringLiteral("/srv/out"));
    };

    {
        SCOPED_TRACE("store file and folder read-only");
        ASSERT_EQ(chmod(hivePath.constData(), 0444), 0);
        ASSERT_EQ(chmod(folderPath.constData(), 0555), 0);
        expectReadOnly();
    }
    {
        SCOPED_TRACE("store file writable, folder not (no journal can be made)");
        if (geteuid() == 0) {
            ASSERT_EQ(chown(hivePath.constData(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(chmod(hivePath.constData(), 0644), 0);
        expectReadOnly();
    }
    {
        SCOPED_TRACE("no store yet, program folder read-only");
        ASSERT_EQ(chmod(folderPath.constData(), 0755), 0);
        ASSERT_TRUE(QFile::remove(hive));
        ASSERT_TRUE(QDir(hiveFolder).removeRecursively());
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
        EXPECT_EQ(runHelper({"save", hiveFolder, kSection, "txtOutPath", "/tmp/other"}, true).exitCode, 1);
        EXPECT_EQ(runHelper({"get", hiveFolder, kSection, "txtOutPath", "DEF"}, true).output, "DEF");
        EXPECT_FALSE(QFileInfo::exists(hiveFolder));
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    }
}

// A store folder given to a group (as an installation's state folder is given
// to every local user) stays shared whoever saves first, whatever their umask;
// another member of the group then saves into it, journal and all.
TEST_F(HiveStoreTest, AStoreMadeInAGroupsFolderIsTheGroups)
{
    const QByteArray folderPath = QFile::encodeName(hiveFolder);
    for (const bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "group-writable folder" : "private folder");
        QDir(hiveFolder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(hiveFolder));
        if (shared && geteuid() == 0) {
            ASSERT_EQ(chown(folderPath.constData(), 0, kNobody), 0);
        }
        ASSERT_EQ(chmod(folderPath.constData(), shared ? 02775 : 0755), 0);
        const mode_t oldMask = umask(077);
        const bool saved = save(QStringLiteral("txtOutPath"), QStringLiteral("~/Music"));
        umask(oldMask);
        ASSERT_TRUE(saved);
        const QFile::Permissions group = QFileInfo(hive).permissions() & (QFile::ReadGroup | QFile::WriteGroup);
        EXPECT_EQ(group, shared ? (QFile::ReadGroup | QFile::WriteGroup) : QFile::Permissions());
    }
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to save as another member of the folder's group";
    EXPECT_EQ(runHelper({"save", hiveFolder, kSection, "txtOutPath", "~/Other"}, true).exitCode, 0);
    EXPECT_EQ(get(QStringLiteral("txtOutPath")), QStringLiteral("~/Other"));
}

TEST_F(HiveStoreTest, TwoProcessesSavingAtOnceBothSucceed)
{
    constexpr int kCount = 300;
    QProcess first;
    QProcess second;
    prepareHelper(first, {"save-many", hiveFolder, kSection, "first", QString::number(kCount)}, false);
    prepareHelper(second, {"save-many", hiveFolder, kSection, "second", QString::number(kCount)}, false);
    first.start();
    second.start();
    ASSERT_TRUE(first.waitForFinished(300000));
    ASSERT_TRUE(second.waitForFinished(300000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();

    EXPECT_EQ(integrityCheck(hive), "ok");
    int found = 0;
    for (int i = 0; i < kCount; ++i) {
        for (const char* prefix : {"first", "second"})
            found += get(QLatin1String(prefix) + QString::number(i)) == QString::number(i);
    }
    EXPECT_EQ(found, 2 * kCount);
}

TEST_F(HiveStoreTest, AWriterKilledMidSaveLeavesAllOldOrAllNewValues)
{
    constexpr int kCount = 200;
    constexpr int kSize = 1000;
    fill(kCount, kSize);
    int killedInTransaction = 0;

    for (int round = 0; round < 10; ++round) {
        QProcess writer;
        prepareHelper(writer, {"save-loop", hiveFolder, kSection, QString::number(kCount), QString::number(kSize)},
                      false);
        writer.start();
        ASSERT_TRUE(writer.waitForReadyRead(60000)) << "the writer never committed";
        QThread::msleep(QRandomGenerator::global()->bounded(5, 60));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(60000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit);
        const QList<QByteArray> committed = writer.readAllStandardOutput().trimmed().split('\n');
        const int lastCommitted = committed.last().toInt();
        ASSERT_GT(lastCommitted, 0);

        if (QFileInfo(hive + QStringLiteral("-journal")).size() > 0)
            ++killedInTransaction;

        // Every value carries the same generation: the last one committed, or
        // the next if the kill came between its commit and its report.
        const QString first = get(QStringLiteral("v0")).section(QLatin1Char(':'), 0, 0);
        const int generation = first.toInt();
        EXPECT_TRUE(generation == lastCommitted || generation == lastCommitted + 1)
            << "round " << round << ": generation " << generation << " after " << lastCommitted;
        const QString expected = first + QLatin1Char(':') + QString(kSize, QLatin1Char('x'));
        int same = 0;
        for (int i = 0; i < kCount; ++i)
            same += get(QStringLiteral("v%1").arg(i)) == expected;
        EXPECT_EQ(same, kCount) << "round " << round;
        EXPECT_EQ(integrityCheck(hive), "ok");
    }
    // The kills must really have hit open transactions for this to mean anything.
    EXPECT_GT(killedInTransaction, 0);
    RecordProperty("killedInTransaction", killedInTransaction);
}

} // namespace
