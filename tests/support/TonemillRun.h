#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

namespace testsupport {

//! What one run of the built program left: its exit code (-1 when it did not
//! end normally) and what it wrote.
struct TonemillResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    //! Standard output split into lines, without the last line's newline.
    QList<QByteArray> lines() const;
};

//! Runs the built program the way a user of a fresh installation would, but
//! shut off from the machine it runs on: its own program folder (with a copy
//! of the built Lang/), its own configuration and home folders, a fixed locale
//! and no display.
class TonemillRun {
public:
    TonemillRun();

    //! True when the folders were made and Lang/ copied.
    bool isValid() const { return m_valid; }

    QString programFolder() const { return m_program.path(); }
    QString configFolder() const { return m_config.path(); }
    QString homeFolder() const { return m_home.path(); }
    QString program() const;

    //! The folder the program starts in; unset, the test's own.
    void setWorkingFolder(const QString& folder) { m_workingFolder = folder; }
    QString workingFolder() const { return m_workingFolder; }

    //! Sets a variable for every later run, on top of the isolated ones.
    void setVariable(const QString& name, const QString& value) { m_extra.insert(name, value); }

    //! The environment the program runs in.
    QProcessEnvironment environment() const;

    //! Starts `tonemill ARGUMENTS...` in `process`, for tests that need the
    //! live process.
    void start(QProcess& process, const QStringList& arguments) const;

    //! Runs `tonemill ARGUMENTS...` to its end.
    TonemillResult run(const QStringList& arguments) const;

    //! Waits for a started process to end and collects what it left.
    static TonemillResult finish(QProcess& process);

private:
    QTemporaryDir m_program;
    QTemporaryDir m_config;
    QTemporaryDir m_home;
    QString m_workingFolder;
    QHash<QString, QString> m_extra;
    bool m_valid = false;
};

} // namespace testsupport
