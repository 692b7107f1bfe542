#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace settings {
class CRegister;
}

namespace remedy {

//! Where the missing WMA encoder comes from. On this system it is part of
//! the distribution's codec libraries: the desktop's package installer gets
//! `package`; where no installer answers, `installerUrl` is downloaded and
//! handed to the desktop when an installation names one (none does by
//! default: there is no such download), else the user is told the command
//! that installs `package`; `playerPageUrl` is the web page that explains
//! how to get it.
struct WmaComponentSources {
    QString package;
    QUrl installerUrl;
    QUrl playerPageUrl;

    //! The key of the store that may hold other addresses (an installation
    //! points them at its own servers), apart from the options' key so that
    //! "Restore Defaults" keeps them. Value names as the constants below.
    static const QString kKey;
    static constexpr const char* kPackageValue = "WMFPackage";
    static constexpr const char* kInstallerValue = "WMFInstallerURL";
    static constexpr const char* kPlayerPageValue = "WMSiteURL";
    //! Overrides the stored installer address when set.
    static constexpr const char* kInstallerVariable = "TONEMILL_WMA_COMPONENT_URL";

    static constexpr const char* kDefaultPackage = "libavcodec-extra";
    static constexpr const char* kDefaultInstallerUrl = "";
    static constexpr const char* kDefaultPlayerPageUrl = "https://packages.debian.org/stable/libavcodec-extra";

    //! The sources kept in `store`, each default where nothing is kept, and
    //! the environment's installer address over the stored one.
    static WmaComponentSources load(const settings::CRegister& store);

    //! Tells whether a program of that name is on the search path.
    using ProgramFinder = std::function<bool(const QString& name)>;
    //! The command that installs `package` with the system's package tool
    //! ("sudo apt-get install libavcodec-extra"); apt-get's when no known
    //! tool is found.
    static QString installCommand(const QString& package, const ProgramFinder& hasProgram = {});
};

} // namespace remedy
