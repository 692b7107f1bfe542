#include "convert/StoppedOutput.h"

#include "convert/ConversionSession.h"
#include "convert/OutputFile.h"
#include "platform/Path.h"

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
    const platform::Path path(finalPath);
    const QString name = path.fileName();
    const QString base = path.stem();
    const QString folder = finalPath.chopped(name.size()); // with its closing '/'
    return folder + format.arg(base, timeReached(seconds)) + name.mid(base.size());
}

void KeepStoppedOutput(ConversionSession& session, OutputFile& output, double seconds)
{
    if (output.size() > 0 &&
        output.commitAs(StoppedOutputPath(output.finalPath(), seconds, session.stoppedNameFormat())))
        session.outputMade = output.finalPath();
    output.discard();
}

} // namespace convert
