#include "support/Commands.h"

#include "engine/EncoderCommandLine.h"

#include <QProcess>

namespace bench {

bool runQuietly(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(-1))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool runPipeline(const QStringList& decoder, const QStringList& encoder)
{
    QProcess first;
    QProcess second;
    first.setStandardOutputProcess(&second);
    first.setStandardErrorFile(QProcess::nullDevice());
    second.setStandardOutputFile(QProcess::nullDevice());
    second.setStandardErrorFile(QProcess::nullDevice());
    first.start(decoder.front(), decoder.mid(1));
    second.start(encoder.front(), encoder.mid(1));
    if (!first.waitForStarted() || !second.waitForStarted())
        return false;
    first.waitForFinished(-1);
    second.waitForFinished(-1);
    return first.exitCode() == 0 && second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
}

QStringList splitEncoderCommand(const QString& commandLine)
{
    QStringList arguments;
    for (const std::string& argument : engine::splitCommandLine(commandLine.toStdString()))
        arguments << QString::fromStdString(argument);
    return arguments;
}

} // namespace bench
