#pragma once

#include "convert/TransferJob.h"

#include <QPointer>
#include <QSaveFile>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace convert {

//! Downloads one file over HTTP or HTTPS into `destination`. The data goes to
//! a temporary file beside it that takes the final name only once the whole
//! body has arrived, so a failed or cancelled download leaves nothing under
//! that name (and an older file there untouched). Never resumes: every
//! download starts from the first byte.
class FileDownload : public TransferJob {
    Q_OBJECT
public:
    enum class Outcome { Running, Complete, Failed, Cancelled };

    //! A transfer that receives nothing for this long fails.
    static constexpr int kStallTimeoutMs = 30000;

    FileDownload(QNetworkAccessManager& network, QUrl source, const QString& destination, QObject* parent = nullptr);
    ~FileDownload() override;

    void start() override;
    void cancel() override;

    Outcome outcome() const { return m_outcome; }
    //! Why the download failed, for the diagnostics log.
    QString errorString() const { return m_error; }

private:
    void receive();
    void complete();
    void fail(const QString& why);
    void end(Outcome outcome);

    QNetworkAccessManager& m_network;
    QUrl m_source;
    QSaveFile m_file;
    QPointer<QNetworkReply> m_reply;
    qint64 m_received = 0;
    Outcome m_outcome = Outcome::Running;
    QString m_error;
};

} // namespace convert
