#pragma once

#include <QDateTime>
#include <QString>

namespace convert {

//! The error log of the encoder paths: a text file of appended lines, one per
//! logged engine error, each ended by CR LF. A copy in a program folder of
//! its own (a build tree, a portable copy, TONEMILL_HOME) keeps it beside
//! that folder, named after it ("/opt/tonemill" keeps "/opt/tonemill
//! Errors.log"); a user who cannot write there has the lines kept in a log of
//! their own in their state folder instead. The installed copy writes each
//! user's state folder directly: nothing is written beside a system folder.
class ErrorLog {
public:
    //! Lines go to `path`, or to `fallbackPath` (when not empty) when `path`
    //! cannot be written.
    explicit ErrorLog(QString path = defaultPath(), QString fallbackPath = userPath());

    //! The program folder's path with " Errors.log" appended directly, or
    //! for the installed copy the user's own log.
    static QString defaultPath();

    //! The user's own log: "$XDG_STATE_HOME/Tonemill/Errors.log", the state
    //! folder being "~/.local/state" when that variable is unset or relative.
    static QString userPath();

    //! One log line without its line end: time (hh:mm:ss, 24-hour), the date
    //! in the locale's short form, the engine's error text, the code and the
    //! input path, then the reason in parentheses when there is one (the
    //! encoder's complaint, the system's error, the damage found).
    static QString line(const QDateTime& when, int code, const QString& origfile, const QString& reason = QString());

    //! Appends the line for `code`, `origfile` and `reason` at the current
    //! time, creating the file (and the fallback's folder) when missing. False
    //! when neither file can be written.
    bool append(int code, const QString& origfile, const QString& reason = QString()) const;

    const QString& path() const { return m_path; }
    const QString& fallbackPath() const { return m_fallbackPath; }

private:
    static bool appendTo(const QString& path, const QByteArray& bytes);

    QString m_path;
    QString m_fallbackPath;
};

} // namespace convert
