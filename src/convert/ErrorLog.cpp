#include "convert/ErrorLog.h"

#include "platform/FileName.h"
#include "platform/ProgramFolder.h"
#include "engine/AudioEngine.h"

#include <QFile>
#include <QLocale>

namespace convert {

ErrorLog::ErrorLog(QString path) : m_path(std::move(path)) {}

QString ErrorLog::defaultPath()
{
    return programFolder() + QStringLiteral(" Errors.log");
}

QString ErrorLog::line(const QDateTime& when, int code, const QString& origfile, const QString& reason)
{
    const QString because = reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')';
    return when.time().toString(QStringLiteral("HH:mm:ss")) + u' ' +
           QLocale().toString(when.date(), QLocale::ShortFormat) + u' ' + BassErrorText(code) + u' ' +
           QString::number(code) + QStringLiteral(" occured when Quill2 tried to play/convert: ") +
           platform::displayName(origfile) + because;
}

bool ErrorLog::append(int code, const QString& origfile, const QString& reason) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes =
        (line(QDateTime::currentDateTime(), code, origfile, reason) + QStringLiteral("\r\n")).toUtf8();
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace convert
