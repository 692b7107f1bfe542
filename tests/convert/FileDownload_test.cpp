#include "TransferRecorder.h"
#include "convert/FileDownload.h"
#include "support/Fixtures.h"
#include "support/LocalHttpServer.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using convert::FileDownload;
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
    FileDownload::Outcome download(const QString& path)
    {
        FileDownload job(network, server.url(path), destination);
        recorder.run(job);
        EXPECT_TRUE(recorder.endedInTime);
        return job.outcome();
    }
    QByteArray saved() const
    {
        QFile file(destination);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList folderContent() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    LocalHttpServer server;
    QNetworkAccessManager network;
    QTemporaryDir folder;
    QString destination = folder.filePath(QStringLiteral("wmfdist.exe"));
    testsupport::TransferRecorder recorder;
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

} // namespace
