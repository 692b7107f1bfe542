#include "remedy/FileDownload.h"

#include "lang/StringLookup.h"
#include "platform/FileName.h"
#include "platform/Path.h"
#include "platform/SystemError.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace remedy {

namespace {

constexpr int kNameAttempts = 100;
// The reply keeps no more than this unread: the body goes to the file as it comes.
constexpr qint64 kReadBuffer = 1024 * 1024;

bool isWebScheme(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

//! "name.ext", "name (1).ext", "name (2).ext" …
QString numberedName(const QString& name, int number)
{
    if (number == 0)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    return QStringLiteral("%1 (%2)%3").arg(stem).arg(number).arg(extension);
}

} // namespace

FileDownload::FileDownload(QNetworkAccessManager& network, QUrl source, const QString& destination, QObject* parent)
    : TransferJob(parent), m_network(network), m_source(std::move(source)), m_destination(destination)
{
    m_stall.setSingleShot(true);
    m_overall.setSingleShot(true);
    connect(&m_stall, &QTimer::timeout, this, [this] {
        fail(lang::caption(lang::StringId::DownloadStalled).arg(m_limits.stallMs / 1000.0),
             QStringLiteral("nothing received for %1 ms").arg(m_limits.stallMs));
    });
    connect(&m_overall, &QTimer::timeout, this, [this] {
        fail(lang::caption(lang::StringId::DownloadTooSlow).arg(m_limits.overallMs / 60000.0),
             QStringLiteral("not complete after %1 ms").arg(m_limits.overallMs));
    });
}

FileDownload::~FileDownload()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    removePartial();
}

void FileDownload::start()
{
    if (m_outcome != Outcome::Running || m_reply)
        return;
    if (!m_source.isValid() || !isWebScheme(m_source)) {
        fail(lang::caption(lang::StringId::DownloadBadRedirect).arg(m_source.toString()),
             QStringLiteral("not an HTTP or HTTPS address: ") + m_source.toString());
        return;
    }
    if (!openPartial())
        return;
    QNetworkRequest request(m_source);
    // Each redirect is looked at before it is followed (redirected()).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    // Counted in redirected(), where a loop ends with its own message; Qt's
    // limit only stands behind that one.
    request.setMaximumRedirectsAllowed(4 * (m_limits.maxRedirects + 1));
    m_reply = m_network.get(request);
    m_reply->setReadBufferSize(kReadBuffer);
    connect(m_reply, &QNetworkReply::redirected, this, &FileDownload::redirected);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &FileDownload::headersArrived);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownload::receive);
    connect(m_reply, &QNetworkReply::finished, this, &FileDownload::complete);
    m_stall.start(m_limits.stallMs);
    m_overall.start(m_limits.overallMs);
}

void FileDownload::cancel()
{
    if (m_outcome != Outcome::Running)
        return;
    end(Outcome::Cancelled);
}

bool FileDownload::openPartial()
{
    const platform::Path wanted(m_destination);
    const QString folder = wanted.parent().toString();
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name = attempt == 0 ? wanted.fileName() + QStringLiteral(".part")
                                          : QStringLiteral("%1.%2.part").arg(wanted.fileName()).arg(attempt);
        const QString path = folder + u'/' + name;
        // Exclusive and never through a link: a name that exists in any
        // form is left as it is.
        const int fd =
            ::open(platform::nativeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            m_fd = fd;
            m_partial = path;
            return true;
        }
        if (errno != EEXIST) {
            const int error = errno;
            fail(lang::caption(lang::StringId::DownloadNotSaved).arg(platform::systemErrorText(error)),
                 platform::systemErrorText(error));
            return false;
        }
    }
    fail(lang::caption(lang::StringId::DownloadNotSaved).arg(platform::systemErrorText(EEXIST)),
         platform::systemErrorText(EEXIST));
    return false;
}

void FileDownload::redirected(const QUrl& target)
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    const QUrl from = m_reply->url();
    const bool downgrade =
        from.scheme().toLower() == QLatin1String("https") && target.scheme().toLower() == QLatin1String("http");
    if (!target.isValid() || !isWebScheme(target) || downgrade) {
        fail(lang::caption(lang::StringId::DownloadBadRedirect).arg(target.toString()),
             QStringLiteral("redirected to ") + target.toString());
        return;
    }
    if (++m_redirects > m_limits.maxRedirects) {
        fail(lang::caption(lang::StringId::DownloadRedirectLoop), QStringLiteral("too many redirects"));
        return;
    }
    m_stall.start(m_limits.stallMs);
    Q_EMIT m_reply->redirectAllowed();
}

void FileDownload::headersArrived()
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    m_stall.start(m_limits.stallMs);
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        fail(lang::caption(lang::StringId::DownloadTooLarge).arg(m_limits.maxBytes / (1024 * 1024)),
             QStringLiteral("announced %1 bytes").arg(length.toLongLong()));
}

void FileDownload::receive()
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    // The body of a redirect or of an error page is not the file.
    const QByteArray data = m_reply->readAll();
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        return;
    if (data.isEmpty())
        return;
    m_stall.start(m_limits.stallMs);
    if (m_received + data.size() > m_limits.maxBytes) {
        fail(lang::caption(lang::StringId::DownloadTooLarge).arg(m_limits.maxBytes / (1024 * 1024)),
             QStringLiteral("more than %1 bytes").arg(m_limits.maxBytes));
        return;
    }
    if (!writeAll(data))
        return;
    // Reported for every piece: the reply's own progress signal skips pieces
    // that follow each other closely, the first one included.
    m_received += data.size();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    Q_EMIT progressed(m_received, length.isValid() ? length.toLongLong() : -1);
}

bool FileDownload::writeAll(const QByteArray& data)
{
    const char* bytes = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, bytes, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            fail(lang::caption(lang::StringId::DownloadNotSaved).arg(platform::systemErrorText(error)),
                 platform::systemErrorText(error));
            return false;
        }
        bytes += written;
        left -= written;
    }
    return true;
}

void FileDownload::complete()
{
    if (!m_reply || m_outcome != Outcome::Running)
        return;
    receive();
    if (m_outcome != Outcome::Running)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    QVariant target = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (!target.isValid())
        target = m_reply->header(QNetworkRequest::LocationHeader);
    if (m_reply->error() == QNetworkReply::TooManyRedirectsError) {
        fail(lang::caption(lang::StringId::DownloadRedirectLoop), m_reply->errorString());
        return;
    }
    // A redirect that was not followed (Qt refuses some itself) is no file.
    if (status.isValid() && status.toInt() >= 300 && status.toInt() < 400 && target.isValid()) {
        const QUrl to = m_reply->url().resolved(target.toUrl());
        fail(lang::caption(lang::StringId::DownloadBadRedirect).arg(to.toString()),
             QStringLiteral("redirected to ") + to.toString());
        return;
    }
    if (m_reply->error() == QNetworkReply::NoError && (!status.isValid() || status.toInt() < 200)) {
        fail(lang::caption(lang::StringId::DownloadNoAnswer), QStringLiteral("no answer"));
        return;
    }
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        const QString answer = reason.isEmpty() ? QString::number(status.toInt())
                                                : QStringLiteral("%1 (%2)").arg(status.toInt()).arg(reason);
        fail(lang::caption(lang::StringId::DownloadHttpStatus).arg(answer), QStringLiteral("HTTP status ") + answer);
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(m_reply->errorString(), m_reply->errorString());
        return;
    }
    if (::fsync(m_fd) != 0 && errno != EINVAL) {
        const int error = errno;
        fail(lang::caption(lang::StringId::DownloadNotSaved).arg(platform::systemErrorText(error)),
             platform::systemErrorText(error));
        return;
    }
    if (m_check) {
        const QString refusal = m_check(m_partial, platform::Path(m_destination).fileName());
        if (!refusal.isEmpty()) {
            fail(refusal, QStringLiteral("refused: ") + refusal);
            return;
        }
    }
    if (!giveName())
        return;
    end(Outcome::Complete);
}

bool FileDownload::giveName()
{
    const platform::Path wanted(m_destination);
    const QByteArray from = platform::nativeName(m_partial);
    int error = EEXIST;
    for (int number = 0; number < kNameAttempts && error == EEXIST; ++number) {
        const QString candidate = wanted.parent().toString() + u'/' + numberedName(wanted.fileName(), number);
        error = platform::renameNoReplace(from, platform::nativeName(candidate));
        if (error == 0) {
            m_saved = candidate;
            m_partial.clear();
            return true;
        }
    }
    fail(lang::caption(lang::StringId::DownloadNotSaved).arg(platform::systemErrorText(error)),
         platform::systemErrorText(error));
    return false;
}

void FileDownload::fail(const QString& message, const QString& why)
{
    if (m_outcome != Outcome::Running)
        return;
    m_error = why.isEmpty() ? message : why;
    setFailureText(message);
    end(Outcome::Failed);
}

void FileDownload::removePartial()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_partial.isEmpty())
        ::unlink(platform::nativeName(m_partial).constData());
    m_partial.clear();
}

void FileDownload::end(Outcome outcome)
{
    m_outcome = outcome;
    m_stall.stop();
    m_overall.stop();
    if (outcome == Outcome::Complete && m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    removePartial();
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

} // namespace remedy
