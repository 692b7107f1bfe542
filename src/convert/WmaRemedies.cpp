#include "convert/WmaRemedies.h"

#include "convert/DownloadTexts.h"
#include "convert/FileDownload.h"
#include "convert/NetworkConnectivity.h"
#include "convert/PackageKitInstall.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QStandardPaths>

namespace convert {

namespace {

// Silent unless enabled (QT_LOGGING_RULES="tonemill.convert=true"): the user is told nothing more.
Q_LOGGING_CATEGORY(lcRemedies, "tonemill.convert", QtCriticalMsg)

QString userDownloadFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() : downloads;
}

} // namespace

WmaRemedies::WmaRemedies(platform::Desktop& desktop, ShowTransfer showTransfer, WmaComponentSources sources)
    : m_desktop(desktop), m_showTransfer(std::move(showTransfer)), m_sources(std::move(sources)),
      m_isConnected(&isNetworkConnected), m_bus(QDBusConnection::sessionBus()), m_downloadFolder(userDownloadFolder())
{
}

WmaRemedies::DownloadResult WmaRemedies::DownloadFile(const QUrl& source, const QString& destination,
                                                      const QString& title)
{
    if (!isLocalAddress(source) && m_isConnected && !m_isConnected()) {
        m_desktop.messageBox(QLatin1String(kNotConnectedText), lang::caption(lang::StringId::ProductName),
                             platform::Desktop::Icon::None, platform::Desktop::Buttons::Ok);
        return DownloadResult::NotConnected;
    }
    QDir().mkpath(QFileInfo(destination).absolutePath());
    QNetworkAccessManager network;
    FileDownload download(network, source, destination);
    m_showTransfer(DownloadTexts::forTitle(title, platform::programFolder()), download);
    download.cancel(); // a presenter that returned early leaves nothing behind
    switch (download.outcome()) {
    case FileDownload::Outcome::Complete:
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
    const QString destination = installerDestination();
    DownloadFile(m_sources.installerUrl, destination, QLatin1String(kWmaComponentTitle));
    // Handed to the desktop, which picks the application that opens such a
    // file (a package installer, an archive viewer); never executed here.
    if (QFileInfo(destination).isFile())
        m_desktop.shellOpen(destination);
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

} // namespace convert
