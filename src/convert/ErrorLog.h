#pragma once

#include <QDateTime>
#include <QString>

namespace convert {

//! The error log of the encoder paths: a text file of appended lines, one per
//! logged engine error, each ended by CR LF. It lies beside the program
//! folder, named after it ("/opt/tonemill" keeps "/opt/tonemill Errors.log").
class ErrorLog {
public:
    explicit ErrorLog(QString path = defaultPath());

    //! The program folder's path with " Errors.log" appended directly.
    static QString defaultPath();

    //! One log line without its line end: time (hh:mm:ss, 24-hour), the date
    //! in the locale's short form, the engine's error text, the code and the
    //! input path, then the reason in parentheses when there is one (the
    //! encoder's complaint, the system's error, the damage found).
    static QString line(const QDateTime& when, int code, const QString& origfile, const QString& reason = QString());

    //! Appends the line for `code`, `origfile` and `reason` at the current
    //! time, creating the file when missing. False when it cannot be written.
    bool append(int code, const QString& origfile, const QString& reason = QString()) const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace convert
