#pragma once

#include <QObject>
#include <QString>

namespace remedy {

//! One piece of long work the download dialog shows: a file download or a
//! package installation. It runs on the event loop and ends exactly once.
class TransferJob : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    //! Begins the work; progress and the end arrive as signals.
    virtual void start() = 0;
    //! Asks the work to stop; `finished` follows (at once or soon).
    virtual void cancel() = 0;

    bool isFinished() const { return m_finished; }
    //! After a failure: what failed, in words for the user (shown by the
    //! download dialog); empty when there is nothing to say.
    const QString& failureText() const { return m_failureText; }

Q_SIGNALS:
    //! `total` is negative while the size of the work is unknown.
    void progressed(qint64 done, qint64 total);
    void finished();

protected:
    //! Marks the job ended and emits `finished`, once.
    void markFinished();
    void setFailureText(const QString& text) { m_failureText = text; }

private:
    bool m_finished = false;
    QString m_failureText;
};

} // namespace remedy
