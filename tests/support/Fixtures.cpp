#include "support/Fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace testsupport {

int runProgram(const QString& program, const QStringList& arguments, QByteArray* standardOutput)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(30000))
        return -1;
    process.closeWriteChannel();
    QByteArray out;
    while (!process.waitForFinished(100))
        out += process.readAllStandardOutput();
    out += process.readAllStandardOutput();
    if (standardOutput)
        *standardOutput = out;
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (process.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.exitCode();
}

bool makeFromLavfi(const QString& path, const QString& source, const QStringList& extraOutputOptions)
{
    QStringList args{
        QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
        QStringLiteral("-f"),           QStringLiteral("lavfi"),     QStringLiteral("-i"),    source};
    args += extraOutputOptions;
    args << path;
    return runProgram(QStringLiteral("ffmpeg"), args) == 0;
}

bool makeTone(const QString& path, double seconds, int rate, int channels, const QStringList& extraOutputOptions,
              double frequency)
{
    const QString sine =
        QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3").arg(frequency).arg(rate).arg(seconds);
    return makeFromLavfi(path, sine,
                         QStringList{QStringLiteral("-ac"), QString::number(channels)} + extraOutputOptions);
}

QByteArray decodeWithFfmpeg(const QString& path, const QStringList& extraOutputOptions)
{
    QStringList args{QStringLiteral("-hide_banner"),
                     QStringLiteral("-loglevel"),
                     QStringLiteral("error"),
                     QStringLiteral("-i"),
                     path,
                     QStringLiteral("-f"),
                     QStringLiteral("s16le")};
    args += extraOutputOptions;
    args << QStringLiteral("-");
    QByteArray out;
    if (runProgram(QStringLiteral("ffmpeg"), args, &out) != 0)
        return {};
    return out;
}

QString buildBinDir()
{
    const QString named = qEnvironmentVariable("TONEMILL_BUILD_BIN");
    if (!named.isEmpty() || !QCoreApplication::instance())
        return named;
    // Run by hand: the build's bin/ is a sibling of the folder of the running
    // test or benchmark.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
}

QString sourceDir()
{
    return qEnvironmentVariable("TONEMILL_SOURCE_DIR");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeShellScript(const QString& path, const QByteArray& commands)
{
    const QByteArray script = "#!/bin/sh\n" + commands;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(script) == script.size() &&
           file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

bool copyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    const QStringList names = QDir(from).entryList(QDir::Files);
    for (const QString& name : names)
        if (!QFile::copy(from + u'/' + name, to + u'/' + name))
            return false;
    return true;
}

} // namespace testsupport
