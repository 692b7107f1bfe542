#include "convert/ConversionFailure.h"

#include "convert/ConversionSession.h"
#include "convert/ErrorLog.h"
#include "engine/Bass.h"

#include <algorithm>

namespace convert {

void EndWithError(ConversionSession& session, const ErrorLog& log, const QString& origfile, int code,
                  const QString& reason)
{
    session.setOutcome(ConversionSession::Outcome::Error, filelist::RowReason::words(reason));
    log.append(code > 0 ? code : BASS_ERROR_UNKNOWN, origfile, reason);
}

QString lastErrorLine(const QByteArray& errorOutput)
{
    // Progress lines end in CR; every CR or LF ends a line.
    QString text = QString::fromUtf8(errorOutput);
    text.replace(u'\r', u'\n');
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    const auto last =
        std::find_if(lines.crbegin(), lines.crend(), [](const QString& line) { return !line.trimmed().isEmpty(); });
    return last == lines.crend() ? QString() : last->trimmed();
}

} // namespace convert
