#pragma once

#include "remedy/WmaComponentSources.h"

#include <QDBusConnection>
#include <QString>
#include <QUrl>
#include <functional>

namespace platform {
class Desktop;
}

namespace remedy {

struct DownloadTexts;
class TransferJob;

//! The two ways to the missing WMA encoder, offered by the notice page and by
//! the admission prompt: install the component (`cmdDownloadWMF`), or open
//! the web page that explains how to get it (`cmdOpenWMSite`).
class WmaRemedies {
public:
    //! Starts `job`, shows its progress with `texts` until it has finished and
    //! returns then; the user's cancel cancels the job.
    using ShowTransfer = std::function<void(const DownloadTexts& texts, TransferJob& job)>;

    enum class DownloadResult { Complete, Failed, Cancelled, NotConnected };

    WmaRemedies(platform::Desktop& desktop, ShowTransfer showTransfer, WmaComponentSources sources);

    //! Replaces the check for a network connection (isNetworkConnected).
    void setConnectivityCheck(std::function<bool()> check) { m_isConnected = std::move(check); }
    //! The bus on which the package installer is looked for (the session bus).
    void setInstallerBus(const QDBusConnection& bus) { m_bus = bus; }
    //! Where downloaded installers are saved (the user's download folder).
    void setDownloadFolder(const QString& folder) { m_downloadFolder = folder; }

    //! Downloads `source` into the folder of `destination`, under its name
    //! or the next free one (`saved` tells which), with the download dialog
    //! showing "Downloading " + `title`; the dialog says what failed. Only a
    //! package of a kind an installer opens is kept (".deb", ".rpm", ".exe",
    //! ".msi", with the bytes such a file starts with). Without a network
    //! connection (and for an address off this machine) it only shows "You
    //! are not connected to internet".
    DownloadResult DownloadFile(const QUrl& source, const QString& destination, const QString& title,
                                QString* saved = nullptr);

    //! Installs the component through the package installer when one answers;
    //! otherwise downloads the configured installer into the download folder
    //! and hands the file this download made to the desktop to open, or, when
    //! no installer address is configured, says in a message box which
    //! package to install with which command. Nothing is ever run directly,
    //! and no file it did not make is handed over.
    void cmdDownloadWMF();

    //! Opens the configured web page with the desktop's browser.
    void cmdOpenWMSite();

    //! Where cmdDownloadWMF saves the installer: the download folder and the
    //! address's file name ("wmfdist.exe" when it names none).
    QString installerDestination() const;

    const WmaComponentSources& sources() const { return m_sources; }

private:
    //! False when no installer answered, so the download must stand in.
    bool installPackage();

    platform::Desktop& m_desktop;
    ShowTransfer m_showTransfer;
    WmaComponentSources m_sources;
    std::function<bool()> m_isConnected;
    QDBusConnection m_bus;
    QString m_downloadFolder;
};

} // namespace remedy
