#include "convert/FileDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace convert {

FileDownload::FileDownload(QNetworkAccessManager& network, QUrl source, const QString& destination, QObject* parent)
    : TransferJob(parent), m_network(network), m_source(std::move(source)), m_file(destination)
{
}

FileDownload::~FileDownload()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void FileDownload::start()
{
    if (m_outcome != Outcome::Running || m_reply)
        return;
    const QString scheme = m_source.scheme().toLower();
    if (!m_source.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(QStringLiteral("not an HTTP or HTTPS address: ") + m_source.toString());
        return;
    }
    if (!m_file.open(QIODevice::WriteOnly)) {
        fail(m_file.errorString());
        return;
    }
    QNetworkRequest request(m_source);
    // Redirects are followed unless they lead from HTTPS to plain HTTP.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(kStallTimeoutMs);
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownload::receive);
    connect(m_reply, &QNetworkReply::finished, this, &FileDownload::complete);
}

void FileDownload::cancel()
{
    if (m_outcome != Outcome::Running)
        return;
    end(Outcome::Cancelled);
}

void FileDownload::receive()
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    if (m_file.write(data) != data.size()) {
        fail(m_file.errorString());
        return;
    }
    // Reported for every piece: the reply's own progress signal skips pieces
    // that follow each other closely, the first one included.
    m_received += data.size();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    Q_EMIT progressed(m_received, length.isValid() ? length.toLongLong() : -1);
}

void FileDownload::complete()
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    receive();
    if (m_outcome != Outcome::Running)
        return;
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(m_reply->errorString());
        return;
    }
    // A redirect that was not followed ends without an error but is no file.
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        fail(QStringLiteral("HTTP status %1").arg(status.toInt()));
        return;
    }
    if (!m_file.commit()) {
        fail(m_file.errorString());
        return;
    }
    end(Outcome::Complete);
}

void FileDownload::fail(const QString& why)
{
    m_error = why;
    end(Outcome::Failed);
}

void FileDownload::end(Outcome outcome)
{
    m_outcome = outcome;
    if (outcome != Outcome::Complete && m_file.isOpen())
        m_file.cancelWriting();
    if (m_file.isOpen())
        m_file.commit(); // after cancelWriting this only removes the temporary file
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
    markFinished();
}

} // namespace convert
