#include "TransferRecorder.h"
#include "remedy/FileDownload.h"
#include "support/Fixtures.h"
#include "support/LocalHttpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

using remedy::FileDownload;
using testsupport::LocalHttpServer;

QByteArray pattern(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(i * 7 + i / 251);
    return data;
}

class FileDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        ASSERT_TRUE(folder.isValid());
    }
    FileDownload::Outcome download(const QString& path, const FileDownload::Limits& limits = {})
    {
        FileDownload job(network, server.url(path), destination);
        job.setLimits(limits);
        recorder.run(job);
        EXPECT_TRUE(recorder.endedInTime);
        failure = job.failureText();
        savedPath = job.savedPath();
        return job.outcome();
    }
    QByteArray saved() const
    {
        QFile file(destination);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList folderContent() const
    {
        // Links to nothing included.
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    LocalHttpServer server;
    QNetworkAccessManager network;
    QTemporaryDir folder;
    QString destination = folder.filePath(QStringLiteral("wmfdist.exe"));
    testsupport::TransferRecorder recorder;
    QString failure;   // what the last download's dialog said failed
    QString savedPath; // the file the last download made
};

// A failed or cancelled download leaves nothing of its own: no partial file
// under the final name, no temporary file beside it, and an older file in its
// place untouched.
TEST_F(FileDownloadTest, FailureAndCancelLeaveNoPartialFileAndKeepAnOlderOne)
{
    const QByteArray body = pattern(2 * 1024 * 1024);
    server.serve(QStringLiteral("/error"), {500, "broken", -1});
    server.serve(QStringLiteral("/stalls"), {200, body, 256 * 1024});

    struct Case {
        const char* path;
        bool cancel;
        FileDownload::Outcome outcome;
    };
    const Case cases[] = {{"/error", false, FileDownload::Outcome::Failed},
                          {"/missing", false, FileDownload::Outcome::Failed},
                          {"/stalls", true, FileDownload::Outcome::Cancelled}};
    for (const bool olderCopy : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.path) + (olderCopy ? " over an older copy" : ""));
            QFile::remove(destination);
            if (olderCopy) {
                ASSERT_TRUE(testsupport::writeFile(destination, "older"));
            }
            recorder.cancelOnData = c.cancel;
            EXPECT_EQ(download(QString::fromLatin1(c.path)), c.outcome);
            EXPECT_EQ(folderContent(), olderCopy ? QStringList{QStringLiteral("wmfdist.exe")} : QStringList{});
            if (olderCopy) {
                EXPECT_EQ(saved(), "older");
            }
        }
    }
    // The cancelled transfer was really stopped: the server sees it closed.
    EXPECT_TRUE(QTest::qWaitFor([this] { return server.openConnections() == 0; }, 10000));
}

TEST_F(FileDownloadTest, RefusesAddressesThatAreNotHttpAndUnreachableServers)
{
    for (const char* source : {"file:///etc/hostname", "http://127.0.0.1:1/x"}) {
        FileDownload job(network, QUrl(QLatin1String(source)), destination);
        recorder.run(job);
        EXPECT_EQ(job.outcome(), FileDownload::Outcome::Failed) << source;
        EXPECT_TRUE(folderContent().isEmpty());
    }
}

// A link or a file under the name (or under the partial file's name) is
// never written through nor replaced: the download takes the next free name.
TEST_F(FileDownloadTest, NeverWritesThroughALinkNorReplacesAFile)
{
    const QByteArray body = pattern(300 * 1024);
    server.serve(QStringLiteral("/file"), {200, body, -1});
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("outside"));
    const QString next = folder.filePath(QStringLiteral("wmfdist (1).exe"));
    const struct {
        const char* what;
        std::function<bool()> prepare;
    } cases[] = {
        {"a link to a file elsewhere",
         [&] { return testsupport::writeFile(outside, "theirs") && QFile::link(outside, destination); }},
        {"a link to nothing", [&] { return QFile::link(outside, destination); }},
        {"a file", [&] { return testsupport::writeFile(destination, "theirs"); }},
        {"a link under the partial name",
         [&] {
             return testsupport::writeFile(outside, "theirs") && testsupport::writeFile(destination, "theirs") &&
                    QFile::link(outside, destination + QStringLiteral(".part"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& name : folderContent())
            QFile::remove(folder.filePath(name));
        QFile::remove(outside);
        ASSERT_TRUE(c.prepare());
        const QStringList before = folderContent();
        const bool outsideExisted = QFileInfo::exists(outside);
        const QByteArray outsideBefore = testsupport::readFile(outside);

        EXPECT_EQ(download(QStringLiteral("/file")), FileDownload::Outcome::Complete) << failure.toStdString();
        EXPECT_EQ(savedPath, next);
        EXPECT_EQ(testsupport::readFile(next), body);
        EXPECT_EQ(testsupport::readFile(outside), outsideBefore);
        EXPECT_EQ(QFileInfo::exists(outside), outsideExisted);
        QStringList expected = QStringList(before) << QStringLiteral("wmfdist (1).exe");
        expected.sort();
        EXPECT_EQ(folderContent().join(u'|').toStdString(), expected.join(u'|').toStdString());
    }
}

// Servers that never end, announce too much, stop sending or trickle: each
// download ends with the limit it met, holding no more than its pieces in
// memory and leaving nothing behind.
TEST_F(FileDownloadTest, EndlessStalledAndTricklingServersEndWithAMessage)
{
    LocalHttpServer::Response endless{200, pattern(64 * 1024), -1};
    endless.endless = true;
    server.serve(QStringLiteral("/endless"), endless);
    server.serve(QStringLiteral("/large"), {200, pattern(3 * 1024 * 1024), -1});
    server.serve(QStringLiteral("/stalls"), {200, pattern(64 * 1024), 1000});
    LocalHttpServer::Response trickle{200, pattern(100), -1};
    trickle.trickleMs = 100;
    server.serve(QStringLiteral("/trickles"), trickle);

    FileDownload::Limits limits;
    limits.maxBytes = 2 * 1024 * 1024;
    limits.stallMs = 2000;
    limits.overallMs = 3000;
    const struct {
        const char* path;
        const char* said;
    } cases[] = {
        {"/endless", "The download is larger than 2 MB, more than any codec package."},
        {"/large", "The download is larger than 2 MB, more than any codec package."},
        {"/stalls", "The server sent nothing for 2 seconds."},
        {"/trickles", "The download did not end within 0.05 minutes."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        recorder.progress.clear();
        EXPECT_EQ(download(QLatin1String(c.path), limits), FileDownload::Outcome::Failed);
        EXPECT_EQ(failure.toStdString(), c.said);
        EXPECT_TRUE(folderContent().isEmpty()) << folderContent().join(u' ').toStdString();
        if (!recorder.progress.isEmpty()) {
            EXPECT_LE(recorder.progress.back().first, limits.maxBytes);
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([this] { return server.openConnections() == 0; }, 10000));
}

// A failure says what failed; a redirect leads only to HTTP or HTTPS.
TEST_F(FileDownloadTest, FailuresSayWhatFailedAndRedirectsStayOnTheWeb)
{
    const QByteArray body = pattern(1000);
    server.serve(QStringLiteral("/file"), {200, body, -1});
    const auto redirect = [this](const QString& from, const QByteArray& to) {
        LocalHttpServer::Response moved{302, "moved", -1};
        moved.location = to;
        server.serve(from, moved);
    };
    redirect(QStringLiteral("/to-file"), "file:///etc/hostname");
    redirect(QStringLiteral("/to-ftp"), "ftp://127.0.0.1/x");
    redirect(QStringLiteral("/to-data"), "data:,hello");
    redirect(QStringLiteral("/loop"), "/loop-b");
    redirect(QStringLiteral("/loop-b"), "/loop");
    redirect(QStringLiteral("/to-file-here"), "/file");
    const struct {
        const char* path;
        const char* said; //!< empty: the download completes
    } cases[] = {
        {"/missing", "The server answered with status 404 (Not Found)."},
        {"/to-file", "The download was sent on to an address that is not HTTP or HTTPS: file:///etc/hostname"},
        {"/to-ftp", "The download was sent on to an address that is not HTTP or HTTPS: ftp://127.0.0.1/x"},
        {"/to-data", "The download was sent on to an address that is not HTTP or HTTPS: data:,hello"},
        {"/loop", "The server sent the download on too many times."},
        {"/to-file-here", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        for (const QString& name : folderContent())
            QFile::remove(folder.filePath(name));
        const bool completes = *c.said == 0;
        FileDownload::Limits limits;
        limits.maxRedirects = 1; // the loop goes round after two
        EXPECT_EQ(download(QLatin1String(c.path), limits),
                  completes ? FileDownload::Outcome::Complete : FileDownload::Outcome::Failed);
        EXPECT_EQ(failure.toStdString(), c.said);
        EXPECT_EQ(saved(), completes ? body : QByteArray("<missing>"));
        EXPECT_EQ(folderContent(), completes ? QStringList{QStringLiteral("wmfdist.exe")} : QStringList{});
    }
}

} // namespace
