#include "convert/StoppedOutput.h"

#include "convert/ConversionSession.h"
#include "convert/OutputFile.h"

#include <cmath>

namespace convert {

namespace {

QString timeReached(double seconds)
{
    const auto whole = static_cast<long long>(std::floor(std::max(seconds, 0.0)));
    const QString minutesAndSeconds =
        QStringLiteral("%1m%2s").arg(whole / 60 % 60, 2, 10, QLatin1Char('0')).arg(whole % 60, 2, 10, QLatin1Char('0'));
    return whole >= 3600 ? QString::number(whole / 3600) + u'h' + minutesAndSeconds : minutesAndSeconds;
}

} // namespace

QString StoppedOutputPath(const QString& finalPath, double seconds, const QString& format)
{
    const qsizetype slash = finalPath.lastIndexOf(u'/');
    const QString folder = finalPath.left(slash + 1);
    const QString name = finalPath.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    return folder + format.arg(base, timeReached(seconds)) + extension;
}

void KeepStoppedOutput(ConversionSession& session, OutputFile& output, double seconds)
{
    if (output.size() > 0 &&
        output.commitAs(StoppedOutputPath(output.finalPath(), seconds, session.stoppedNameFormat())))
        session.sOutputMade = output.finalPath();
    output.discard();
}

} // namespace convert
