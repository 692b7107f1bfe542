#include "convert/OutputFile.h"
#include "convert/OutputPath.h"
#include "platform/FileName.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
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

} // namespace

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

TEST(OutputFile, LeftoversOfKilledRunsAreRemovedButNotThoseOfLiveOnes)
{
    QTemporaryDir dir;
    auto live = written(dir.filePath(QStringLiteral("live.ogg")), "being written");
    ASSERT_TRUE(live);
    // What a killed run leaves: a temporary file nobody holds.
    const QString leftover = dir.filePath(QStringLiteral(".tonemill-abc123.part.ogg"));
    ASSERT_TRUE(testsupport::writeFile(leftover, "half an ogg"));
    const QString mine = dir.filePath(QStringLiteral(".hidden.part.ogg")); // not ours: never touched
    QFile(mine).open(QIODevice::WriteOnly);

    EXPECT_EQ(OutputFile::removeLeftovers(dir.path()), 1);
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_TRUE(QFile::exists(mine));
    EXPECT_TRUE(QFile::exists(live->temporaryPath()));
    EXPECT_TRUE(live->commit());
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
