#include "convert/OutputFile.h"
#include "convert/OutputPath.h"
#include "platform/FileName.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using convert::OutputFile;

namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

std::unique_ptr<OutputFile> written(const QString& finalPath, const QByteArray& bytes)
{
    QString why;
    auto file = OutputFile::create(finalPath, &why);
    EXPECT_TRUE(file) << why.toStdString();
    if (file) {
        EXPECT_TRUE(file->write(bytes.constData(), bytes.size()));
    }
    return file;
}

//! What a run killed while writing `finalPath` leaves: its temporary file,
//! made in a child that ends without a word. Empty when that failed.
QString leftoverOfAKilledRun(const QString& finalPath)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        QString why;
        auto file = OutputFile::create(finalPath, &why);
        const QByteArray name = file && file->write("half a file", 11) ? file->temporaryPath().toUtf8() : QByteArray();
        const bool told = ::write(pipeEnds[1], name.constData(), std::size_t(name.size())) == name.size();
        ::_exit(told ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    char buffer[4096];
    const ssize_t size = child > 0 ? ::read(pipeEnds[0], buffer, sizeof buffer) : -1;
    ::close(pipeEnds[0]);
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
    return size > 0 ? QString::fromUtf8(buffer, size) : QString();
}

TEST(OutputFile, OnlyACompleteFileGetsItsName)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("song.wav"));
    auto file = written(target, "RIFF....");
    ASSERT_TRUE(file);

    // While it is written only a hidden temporary file exists.
    const QStringList during = entries(dir.path());
    ASSERT_EQ(during.size(), 1);
    EXPECT_TRUE(during[0].startsWith(u'.')) << during[0].toStdString();
    EXPECT_TRUE(during[0].endsWith(QStringLiteral(".wav")));
    EXPECT_TRUE(OutputFile::isTemporaryName(during[0]));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(file->writeAt(4, "1234", 4));
    EXPECT_EQ(file->size(), 8);

    ASSERT_TRUE(file->commit());
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("song.wav")});
    EXPECT_EQ(testsupport::readFile(target), QByteArray("RIFF1234"));
    // A changed copy that replaces it (album tags) is no temporary file either.
    auto copy = written(target, "RIFF5678");
    ASSERT_TRUE(copy && copy->commitReplacing());
    EXPECT_EQ(testsupport::readFile(target), QByteArray("RIFF5678"));
    char mark[8];
    EXPECT_LT(::getxattr(QFile::encodeName(target).constData(), "user.tonemill", mark, sizeof mark), 0);

    // A discarded one leaves nothing behind.
    auto dropped = written(dir.filePath(QStringLiteral("other.wav")), "data");
    dropped->discard();
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("song.wav")});
    {
        auto forgotten = written(dir.filePath(QStringLiteral("third.wav")), "data");
    }
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("song.wav")});
}

TEST(OutputFile, ANameTakenMeanwhileGivesTheNextFreeOne)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("song.mp3"));
    auto file = written(target, "new");
    ASSERT_TRUE(file);
    // Another run made the file, and a folder took the next name.
    ASSERT_TRUE(testsupport::writeFile(target, "theirs"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("song_Converted.mp3")));

    ASSERT_TRUE(file->commit());
    EXPECT_EQ(file->finalPath(), dir.filePath(QStringLiteral("song_Converted_0.mp3")));
    EXPECT_EQ(testsupport::readFile(target), QByteArray("theirs"));
    EXPECT_EQ(testsupport::readFile(file->finalPath()), QByteArray("new"));
}

TEST(OutputFile, TwoProcessesRacingForOneNameBothKeepTheirFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("race.wav"));
    // Both have chosen the same free name and write at the same time; the
    // other process finishes first.
    auto mine = written(target, "mine");
    ASSERT_TRUE(mine);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QString why;
        auto theirs = OutputFile::create(target, &why);
        const bool ok = theirs && theirs->write("theirs", 6) && theirs->commit();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    ASSERT_TRUE(mine->commit()) << mine->error().toStdString();
    EXPECT_EQ(testsupport::readFile(target), QByteArray("theirs"));
    EXPECT_EQ(mine->finalPath(), dir.filePath(QStringLiteral("race_Converted.wav")));
    EXPECT_EQ(testsupport::readFile(mine->finalPath()), QByteArray("mine"));
}

//! The sweep of `folder`: it removes a killed run's leftover and nothing a
//! user owns, whatever its name. `attributes` says whether the folder's file
//! system keeps extended attributes (and tells case apart, and owners).
void checkSweep(const QString& folder, bool attributes)
{
    const auto at = [&folder](const char* name) { return folder + u'/' + QLatin1String(name); };
    // The first file in the folder sweeps it; the children below inherit that.
    auto live = written(at("live.ogg"), "being written");
    ASSERT_TRUE(live);
    const QString leftover = leftoverOfAKilledRun(at("killed.ogg"));
    ASSERT_FALSE(leftover.isEmpty());
    ASSERT_TRUE(QFile::exists(leftover));
    char mark[8];
    EXPECT_EQ(::getxattr(QFile::encodeName(leftover).constData(), "user.tonemill", mark, 8) > 0, attributes);

    // A finished output named after an input that has a temporary name.
    auto finished = written(at(".tonemill-0123abcd.part.wav"), "a whole file");
    ASSERT_TRUE(finished && finished->commit());
    // An input of the run: a leftover the user converts on purpose.
    const QString input = leftoverOfAKilledRun(at("input.wav"));
    ASSERT_FALSE(input.isEmpty());
    OutputFile::setRunInputs({QStringLiteral("/elsewhere/a.flac"), input});

    QStringList users = {
        QStringLiteral(".tonemill-abc123.part.ogg"),    // not the form this program makes
        QStringLiteral(".tonemill-abcdefgh.part.ogg~"), // an editor's backup of one
        QStringLiteral(".hidden.part.ogg"),
        QStringLiteral(".tonemill-abcdefgh.part.ogg"), // the exact form, but not made by a run
    };
    if (attributes)
        users << QStringLiteral(".tonemill-ABCDEFGH.part.ogg"); // FAT takes it for the one above
    for (const QString& user : users)
        ASSERT_TRUE(testsupport::writeFile(folder + u'/' + user, "the user's own"));
    // Another user's leftover in a shared folder is theirs to remove.
    QString others;
    if (::geteuid() == 0 && attributes) {
        others = leftoverOfAKilledRun(at("others.mp3"));
        ASSERT_EQ(::chown(QFile::encodeName(others).constData(), 65534, 65534), 0);
    }

    EXPECT_EQ(OutputFile::removeLeftovers(folder), 1);
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_TRUE(QFile::exists(live->temporaryPath()));
    EXPECT_EQ(testsupport::readFile(finished->finalPath()), QByteArray("a whole file"));
    EXPECT_TRUE(QFile::exists(input));
    if (!others.isEmpty()) {
        EXPECT_TRUE(QFile::exists(others));
    }
    for (const QString& user : users)
        EXPECT_EQ(testsupport::readFile(folder + u'/' + user), QByteArray("the user's own")) << qPrintable(user);
    EXPECT_TRUE(live->commit());
    OutputFile::setRunInputs({});
}

//! A small FAT file system mounted on a folder of its own (the kernel's
//! vfat, or FUSE's where the kernel has none), for the super-user only.
class FatFolder {
public:
    explicit FatFolder(const QString& base)
        : m_image(base + QStringLiteral("/fat.img")), m_folder(base + QStringLiteral("/fat"))
    {
        if (::geteuid() != 0) {
            m_why = "only the super-user mounts a file system";
            return;
        }
        QDir().mkpath(m_folder);
        if (testsupport::runProgram(QStringLiteral("mkfs.vfat"),
                                    {QStringLiteral("-C"), m_image, QStringLiteral("4096")}) != 0) {
            m_why = "mkfs.vfat (dosfstools) did not make an image";
            return;
        }
        if (testsupport::runProgram(QStringLiteral("mount"),
                                    {QStringLiteral("-o"), QStringLiteral("loop"), m_image, m_folder}) == 0)
            m_mounted = "umount";
        else if (testsupport::runProgram(QStringLiteral("fusefat"),
                                         {QStringLiteral("-o"), QStringLiteral("rw+"), m_image, m_folder}) == 0)
            m_mounted = "fusermount";
        else
            m_why = "neither the kernel's vfat nor fusefat can mount a FAT image here";
    }
    ~FatFolder()
    {
        if (m_mounted == QLatin1String("umount"))
            testsupport::runProgram(QStringLiteral("umount"), {m_folder});
        else if (!m_mounted.isEmpty())
            testsupport::runProgram(QStringLiteral("fusermount"), {QStringLiteral("-u"), m_folder});
    }
    FatFolder(const FatFolder&) = delete;
    FatFolder& operator=(const FatFolder&) = delete;

    bool isMounted() const { return !m_mounted.isEmpty(); }
    const char* why() const { return m_why; }
    const QString& path() const { return m_folder; }

private:
    QString m_image;
    QString m_folder;
    QString m_mounted;
    const char* m_why = "";
};

} // namespace

TEST(OutputFile, TheSweepRemovesOnlyLeftoversOfKilledRunsOfThisUser)
{
    QTemporaryDir dir;
    checkSweep(dir.path(), true);
}

TEST(OutputFile, WithoutAttributesTheSweepRemovesOnlyWhatTheJournalRecorded)
{
    QTemporaryDir dir;
    // The journal of the runs of this test, not of the user running it.
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("state"))));
    {
        const FatFolder fat(dir.path());
        if (!fat.isMounted()) {
            qputenv("XDG_STATE_HOME", state);
            GTEST_SKIP() << fat.why();
        }
        checkSweep(fat.path(), false);
    }
    qputenv("XDG_STATE_HOME", state);
}

TEST(OutputFile, NamesThatAreNotUtf8AreKeptByteForByte)
{
    QTemporaryDir dir;
    const QByteArray raw = QFile::encodeName(dir.path()) + "/caf\xe9-\xff.wav"; // Latin-1 bytes
    const QString name = platform::fromNativeName(raw);
    EXPECT_EQ(platform::nativeName(name), raw);
    EXPECT_TRUE(platform::displayName(name).endsWith(QStringLiteral("caf\uFFFD-\uFFFD.wav")));
    EXPECT_EQ(platform::fromNativeName("ok \xc3\xa9"), QStringLiteral("ok \u00e9"));

    auto file = written(name, "x");
    ASSERT_TRUE(file && file->commit());
    EXPECT_EQ(::access(raw.constData(), F_OK), 0);
}

TEST(OutputFile, EveryWayOfGivingTheNameLeavesATakenNameAlone)
{
    using platform::RenameWay;
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("file")), "theirs"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(QStringLiteral("link"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const struct {
        RenameWay way;
        const char* to;
        int result;
    } cases[] = {
        {RenameWay::NoReplaceRename, "free", 0},      {RenameWay::NoReplaceRename, "file", EEXIST},
        {RenameWay::NoReplaceRename, "link", EEXIST}, {RenameWay::HardLink, "free", 0},
        {RenameWay::HardLink, "file", EEXIST},        {RenameWay::HardLink, "folder", EEXIST},
        {RenameWay::CheckedRename, "free", 0},        {RenameWay::CheckedRename, "file", EEXIST},
        {RenameWay::CheckedRename, "link", EEXIST},   {RenameWay::CheckedRename, "folder", EEXIST},
    };
    for (const auto& c : cases) {
        const QString label = QStringLiteral("way %1 to %2").arg(int(c.way)).arg(QLatin1String(c.to));
        ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("mine")), "mine"));
        EXPECT_EQ(platform::renameNoReplace(folder + "mine", folder + c.to, c.way), c.result) << qPrintable(label);
        EXPECT_EQ(testsupport::readFile(dir.filePath(QStringLiteral("file"))), QByteArray("theirs"))
            << qPrintable(label);
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("link"))).isSymLink()) << qPrintable(label);
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir()) << qPrintable(label);
        if (c.result == 0) {
            EXPECT_EQ(testsupport::readFile(dir.filePath(QLatin1String(c.to))), QByteArray("mine"))
                << qPrintable(label);
            EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("mine")))) << qPrintable(label);
            ASSERT_TRUE(QFile::remove(dir.filePath(QLatin1String(c.to))));
        }
    }
}

TEST(OutputPath, NextNameSequence)
{
    const struct {
        const char* taken;
        const char* next;
    } cases[] = {
        {"/o/a.mp3", "/o/a_Converted.mp3"},
        {"/o/a_Converted.mp3", "/o/a_Converted_0.mp3"},
        {"/o/a_Converted_0.mp3", "/o/a_Converted_1.mp3"},
        {"/o/a_Converted_9999.mp3", "/o/a_Converted_10000.mp3"},
        {"/o/a_Converted_10000.mp3", ""},
        {"/o.d/noext", "/o.d/noext_Converted"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert::NextOutputPath(QString::fromUtf8(c.taken)), QString::fromUtf8(c.next)) << c.taken;
}
