#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace bench {

//! Runs `program` (no shell) to its end, its output discarded and its errors
//! passed on; true when it exited 0. An empty `env` keeps this process's.
bool runQuietly(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {});

//! `decoder` piped into `encoder` (each a program and its arguments), both
//! started without a shell, their output discarded; true when both exited 0.
bool runPipeline(const QStringList& decoder, const QStringList& encoder);

//! The arguments of the encoder's command line as the engine splits it.
QStringList splitEncoderCommand(const QString& commandLine);

} // namespace bench
