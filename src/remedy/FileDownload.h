#pragma once

#include "remedy/TransferJob.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace remedy {

//! Downloads one file over HTTP or HTTPS into the folder of `destination`.
//! The body streams into a partial file of its own ("<name>.part", made
//! exclusively, never through a link), which takes its name only once the
//! whole body has arrived and passed the content check: the name wanted, or
//! when that is taken by anything (a file, a link) the next free one
//! ("name (1).ext" …). Nothing is ever replaced, and a failed or cancelled
//! download leaves nothing behind. Redirects are followed only to HTTP or
//! HTTPS (never from HTTPS to HTTP), a few times at most. Never resumes:
//! every download starts from the first byte.
class FileDownload : public TransferJob {
    Q_OBJECT
public:
    enum class Outcome { Running, Complete, Failed, Cancelled };

    //! What a download may take before it fails with a message that says so.
    struct Limits {
        //! A codec package is a few megabytes; no installer comes near this.
        qint64 maxBytes = 200LL * 1024 * 1024;
        //! Receiving nothing for this long (from the request on).
        int stallMs = 30000;
        //! The whole download, however steadily it trickles.
        int overallMs = 15 * 60 * 1000;
        int maxRedirects = 10;
    };

    //! Looks at the complete file at `path` that will be named `name`: empty
    //! when it may be kept, else the message why not (it is then removed).
    using ContentCheck = std::function<QString(const QString& path, const QString& name)>;

    FileDownload(QNetworkAccessManager& network, QUrl source, const QString& destination, QObject* parent = nullptr);
    ~FileDownload() override;

    void setLimits(const Limits& limits) { m_limits = limits; }
    const Limits& limits() const { return m_limits; }
    void setContentCheck(ContentCheck check) { m_check = std::move(check); }

    void start() override;
    void cancel() override;

    Outcome outcome() const { return m_outcome; }
    //! Why the download failed, for the diagnostics log.
    QString errorString() const { return m_error; }
    //! After a complete download: the file it made.
    QString savedPath() const { return m_saved; }

private:
    void redirected(const QUrl& target);
    void headersArrived();
    void receive();
    void complete();
    [[nodiscard]] bool openPartial();
    [[nodiscard]] bool writeAll(const QByteArray& data);
    bool giveName();
    //! Fails with `message` shown to the user and `why` for the log.
    void fail(const QString& message, const QString& why = QString());
    void end(Outcome outcome);
    void removePartial();

    QNetworkAccessManager& m_network;
    QUrl m_source;
    QString m_destination;
    Limits m_limits;
    ContentCheck m_check;
    QString m_partial;
    int m_fd = -1;
    QString m_saved;
    QPointer<QNetworkReply> m_reply;
    QTimer m_stall;
    QTimer m_overall;
    qint64 m_received = 0;
    int m_redirects = 0;
    Outcome m_outcome = Outcome::Running;
    QString m_error;
};

} // namespace remedy
