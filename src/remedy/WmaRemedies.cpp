#include "remedy/WmaRemedies.h"

#include "lang/StringLookup.h"
#include "platform/Desktop.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/ProgramFolder.h"
#include "remedy/DownloadTexts.h"
#include "remedy/FileDownload.h"
#include "remedy/NetworkConnectivity.h"
#include "remedy/PackageKitInstall.h"

#include <QByteArrayView>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace remedy {

namespace {

// Silent unless enabled (QT_LOGGING_RULES="tonemill.convert=true"): the user is told nothing more.
Q_LOGGING_CATEGORY(lcRemedies, "tonemill.convert", QtCriticalMsg)

QString userDownloadFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? platform::homeFolder() : downloads;
}

//! The kinds of package the desktop's installers open, by the end of the
//! file's name and the bytes it starts with. Anything else (a ".desktop"
//! entry, a script) could run as a program when opened, and is not kept.
struct PackageKind {
    const char* extension;
    QByteArrayView magic;
};
constexpr PackageKind kPackageKinds[] = {
    {".deb", "!<arch>\ndebian-binary"},
    {".rpm", "\xED\xAB\xEE\xDB"},
    {".exe", "MZ"},
    {".msi", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"},
};

QString packageRefusal(const QString& path, const QString& name)
{
    QByteArray start;
    const int file = ::open(platform::nativeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (file >= 0) {
        start.resize(32);
        const ssize_t got = ::read(file, start.data(), std::size_t(start.size()));
        start.resize(got > 0 ? qsizetype(got) : 0);
        ::close(file);
    }
    for (const PackageKind& kind : kPackageKinds)
        if (name.endsWith(QLatin1String(kind.extension), Qt::CaseInsensitive) && start.startsWith(kind.magic))
            return {};
    return lang::caption(lang::StringId::DownloadNotAPackage).arg(name);
}

} // namespace

WmaRemedies::WmaRemedies(platform::Desktop& desktop, ShowTransfer showTransfer, WmaComponentSources sources)
    : m_desktop(desktop), m_showTransfer(std::move(showTransfer)), m_sources(std::move(sources)),
      m_isConnected(&isNetworkConnected), m_bus(QDBusConnection::sessionBus()), m_downloadFolder(userDownloadFolder())
{
}

WmaRemedies::DownloadResult WmaRemedies::DownloadFile(const QUrl& source, const QString& destination,
                                                      const QString& title, QString* saved)
{
    if (saved)
        saved->clear();
    if (!isLocalAddress(source) && m_isConnected && !m_isConnected()) {
        m_desktop.messageBox(QLatin1String(kNotConnectedText), lang::caption(lang::StringId::ProductName),
                             platform::Desktop::Icon::None, platform::Desktop::Buttons::Ok);
        return DownloadResult::NotConnected;
    }
    // A folder that cannot be made fails the download with the reason.
    static_cast<void>(platform::makeFolders(platform::Path(destination).parent().toString()));
    QNetworkAccessManager network;
    FileDownload download(network, source, destination);
    download.setContentCheck(&packageRefusal);
    m_showTransfer(DownloadTexts::forTitle(title, platform::programFolder()), download);
    download.cancel(); // a presenter that returned early leaves nothing behind
    switch (download.outcome()) {
    case FileDownload::Outcome::Complete:
        if (saved)
            *saved = download.savedPath();
        return DownloadResult::Complete;
    case FileDownload::Outcome::Cancelled:
        return DownloadResult::Cancelled;
    default:
        qCWarning(lcRemedies) << "download of" << source.toString() << "failed:" << download.errorString();
        return DownloadResult::Failed;
    }
}

void WmaRemedies::cmdDownloadWMF()
{
    if (installPackage())
        return;
    if (!m_sources.installerUrl.isValid() || m_sources.installerUrl.isEmpty()) {
        // No download to stand in: say what to install, and how.
        m_desktop.messageBox(lang::caption(lang::StringId::WmaInstallPackage)
                                 .arg(m_sources.package, WmaComponentSources::installCommand(m_sources.package)),
                             lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Information,
                             platform::Desktop::Buttons::Ok);
        return;
    }
    // Only the file this download made is handed to the desktop, which
    // picks the application that opens such a package; never executed here.
    QString saved;
    if (DownloadFile(m_sources.installerUrl, installerDestination(), QLatin1String(kWmaComponentTitle), &saved) ==
        DownloadResult::Complete)
        m_desktop.shellOpen(saved);
}

bool WmaRemedies::installPackage()
{
    if (m_sources.package.isEmpty() || !PackageKitInstall::isAvailable(m_bus))
        return false;
    PackageKitInstall install(m_bus, {m_sources.package});
    m_showTransfer(DownloadTexts::forTitle(QLatin1String(kWmaComponentTitle), platform::programFolder()), install);
    install.cancel();
    if (install.outcome() == PackageKitInstall::Outcome::Refused)
        qCWarning(lcRemedies) << "the package installer refused" << m_sources.package << ":" << install.errorString();
    return install.outcome() != PackageKitInstall::Outcome::Unavailable;
}

void WmaRemedies::cmdOpenWMSite()
{
    if (!m_sources.playerPageUrl.isValid() || !m_desktop.shellOpen(m_sources.playerPageUrl.toString()))
        qCWarning(lcRemedies) << "the web page" << m_sources.playerPageUrl.toString() << "could not be opened";
}

QString WmaRemedies::installerDestination() const
{
    QString name = m_sources.installerUrl.fileName();
    if (name.isEmpty() || name.startsWith(u'.'))
        name = QStringLiteral("wmfdist.exe");
    return m_downloadFolder + u'/' + name;
}

} // namespace remedy
