#include "convert/ErrorLog.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using convert::ErrorLog;

TEST(ErrorLog, LineForm)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QDateTime when(QDate(2024, 3, 7), QTime(21, 5, 9));
    EXPECT_EQ(
        ErrorLog::line(when, 5, QStringLiteral("/music/a b.flac")),
        QStringLiteral("21:05:09 3/7/24 Invalid Handle 5 occured when Quill2 tried to play/convert: /music/a b.flac"));
    EXPECT_EQ(
        ErrorLog::line(when, -1, QStringLiteral("x")),
        QStringLiteral("21:05:09 3/7/24 Some Other Mystery Error -1 occured when Quill2 tried to play/convert: x"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(
        ErrorLog::line(when, 2, QStringLiteral("x")).startsWith(QStringLiteral("21:05:09 07.03.24 Can't Open")));
    QLocale::setDefault(saved);
}

TEST(ErrorLog, PathLiesBesideTheProgramFolder)
{
    qputenv("TONEMILL_HOME", "/opt/tonemill");
    EXPECT_EQ(ErrorLog::defaultPath(), QStringLiteral("/opt/tonemill Errors.log"));
    qunsetenv("TONEMILL_HOME");
}

TEST(ErrorLog, AppendsCrLfLinesAndReportsAnUnwritableFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ErrorLog log(dir.filePath(QStringLiteral("prog Errors.log")));
    ASSERT_TRUE(log.append(2, QStringLiteral("/in/one.mp3")));
    ASSERT_TRUE(log.append(6, QStringLiteral("/in/twö.mp3")));
    const QList<QByteArray> lines = testsupport::readFile(log.path()).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(" Can't Open the File 2 occured when Quill2 tried to play/convert: /in/one.mp3\r"));
    EXPECT_TRUE(
        lines[1].endsWith("Unsupported Format 6 occured when Quill2 tried to play/convert: /in/tw\xc3\xb6.mp3\r"));
    EXPECT_TRUE(lines[2].isEmpty());

    const QString noFallback;
    EXPECT_FALSE(
        ErrorLog(dir.filePath(QStringLiteral("missing/folder Errors.log")), noFallback).append(2, QStringLiteral("x")));
    EXPECT_FALSE(ErrorLog(dir.path(), noFallback).append(2, QStringLiteral("x"))); // a folder, not a file
}

// An installed copy: the user cannot write beside the program folder, so the
// lines go to their own state folder; a writable program folder keeps them.
TEST(ErrorLog, FallsBackToTheUsersStateFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray savedState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("state"))));
    const QString userLog = ErrorLog::userPath();
    EXPECT_EQ(userLog, dir.filePath(QStringLiteral("state/Tonemill/Errors.log")));
    qputenv("XDG_STATE_HOME", savedState);

    // Root writes anywhere, so the unwritable place is one that cannot be made.
    const QString beside = dir.filePath(QStringLiteral("root-owned/tonemill Errors.log"));
    ASSERT_TRUE(ErrorLog(beside, userLog).append(2, QStringLiteral("/in/one.mp3")));
    EXPECT_FALSE(QFile::exists(beside));
    QFile fallback(userLog);
    ASSERT_TRUE(fallback.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fallback.readAll().endsWith("Can't Open the File 2 occured when Quill2 tried to play/convert: "
                                            "/in/one.mp3\r\n"));
    const qint64 userLogSize = fallback.size();
    fallback.close();

    const QString writable = dir.filePath(QStringLiteral("tonemill Errors.log"));
    ASSERT_TRUE(ErrorLog(writable, userLog).append(6, QStringLiteral("/in/two.mp3")));
    EXPECT_TRUE(QFile::exists(writable));
    EXPECT_EQ(QFileInfo(userLog).size(), userLogSize) << "the user's log grew though the first was writable";
}
