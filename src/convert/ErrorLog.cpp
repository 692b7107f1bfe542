#include "convert/ErrorLog.h"

#include "engine/AudioEngine.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/LogCategories.h"
#include "platform/Path.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QLocale>
#include <mutex>

namespace convert {

ErrorLog::ErrorLog(QString path, QString fallbackPath)
    : m_path(std::move(path)), m_fallbackPath(std::move(fallbackPath))
{
}

QString ErrorLog::defaultPath()
{
    const platform::ProgramPlaces places = platform::programPlaces();
    return places.installed ? userPath() : places.programFolder + QStringLiteral(" Errors.log");
}

QString ErrorLog::userPath()
{
    QString state = platform::environmentPath("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = platform::homeFolder() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Tonemill/Errors.log");
}

QString ErrorLog::line(const QDateTime& when, int code, const QString& origfile, const QString& reason)
{
    const QString because = reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')';
    return when.time().toString(QStringLiteral("HH:mm:ss")) + u' ' +
           QLocale().toString(when.date(), QLocale::ShortFormat) + u' ' + engine::BassErrorText(code) + u' ' +
           QString::number(code) + QStringLiteral(" occured when Quill2 tried to play/convert: ") +
           platform::displayName(origfile) + because;
}

bool ErrorLog::append(int code, const QString& origfile, const QString& reason) const
{
    const QByteArray bytes =
        (line(QDateTime::currentDateTime(), code, origfile, reason) + QStringLiteral("\r\n")).toUtf8();
    // Rows converting at once log one whole line at a time.
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    if (appendTo(m_path, bytes))
        return true;
    if (!m_fallbackPath.isEmpty()) {
        // A folder that cannot be made fails the append below.
        static_cast<void>(platform::makeFolders(platform::Path(m_fallbackPath).parent().toString()));
        if (appendTo(m_fallbackPath, bytes)) {
            qCInfo(lcConvert, "Error log %s cannot be written; the line went to %s", qUtf8Printable(m_path),
                   qUtf8Printable(m_fallbackPath));
            return true;
        }
    }
    qCInfo(lcConvert, "No error log can be written; line lost: %s", bytes.trimmed().constData());
    return false;
}

bool ErrorLog::appendTo(const QString& path, const QByteArray& bytes)
{
    return platform::appendToFile(path, bytes);
}

} // namespace convert
