#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

//! Runs a program (no shell) with nothing on its standard input and returns
//! its exit code; -1 when it could not start or was killed. Its standard
//! output is kept in `standardOutput` (when given); its standard error goes
//! to the test's log.
int runProgram(const QString& program, const QStringList& arguments, QByteArray* standardOutput = nullptr);

//! Makes a file with ffmpeg from the lavfi source `source` (such as
//! "anoisesrc=duration=4" or "color=c=orange:s=24x16"), in the format the file
//! name's extension implies, with extra ffmpeg output options. Returns false
//! when ffmpeg failed.
bool makeFromLavfi(const QString& path, const QString& source, const QStringList& extraOutputOptions = {});

//! Makes a sine-tone audio file with ffmpeg: `seconds` long at `rate` Hz with
//! `channels` channels, in the format the file name's extension implies.
//! Extra ffmpeg output options (codec, sample format) may be given, and the
//! tone's frequency in Hz. Returns false when ffmpeg failed.
bool makeTone(const QString& path, double seconds, int rate, int channels, const QStringList& extraOutputOptions = {},
              double frequency = 440);

//! Decodes a file with ffmpeg to interleaved signed 16-bit PCM at its own rate
//! and channel count: an independent reference for the engine's output.
QByteArray decodeWithFfmpeg(const QString& path, const QStringList& extraOutputOptions = {});

//! Folder of the built program and its Lang/ (the program folder of tests):
//! TONEMILL_BUILD_BIN, or else the bin/ beside the running program's folder.
QString buildBinDir();

//! Folder of the project's sources.
QString sourceDir();

//! The whole content of a file; empty when it cannot be read.
QByteArray readFile(const QString& path);

//! Writes `bytes` as the whole content of a file; false when that failed.
bool writeFile(const QString& path, const QByteArray& bytes);

//! Writes a shell script (`commands` after a "#!/bin/sh" line) that its
//! owner may run; false when that failed.
bool writeShellScript(const QString& path, const QByteArray& commands);

//! Copies the files (not the sub-folders) of folder `from` into folder `to`,
//! made when missing; false when a file could not be copied.
bool copyFolder(const QString& from, const QString& to);

} // namespace testsupport
