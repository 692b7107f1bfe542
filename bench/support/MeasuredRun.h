#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace bench {

//! One run of a program to its end, with what the kernel accounted for it.
struct MeasuredRun {
    int exitCode = -1; //!< -1 when it could not start or did not exit normally
    double wallSeconds = 0;
    double cpuSeconds = 0; //!< user and system, of it and the children it waited for
    //! Peak resident memory of the process, or of the largest of the children
    //! it waited for when one grew larger (the kernel's maximum, not a sum).
    long peakKb = 0;
    QByteArray out; //!< its standard output
    QByteArray err; //!< its standard error

    //! Runs `program` with `arguments` (no shell) in `env`, standard input
    //! empty, and waits for it.
    static MeasuredRun of(const QString& program, const QStringList& arguments, const QProcessEnvironment& env);
};

} // namespace bench
