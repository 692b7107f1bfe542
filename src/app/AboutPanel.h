#pragma once

#include "controls/FramePanel.h"

class QLabel;
class QPushButton;

namespace app {

//! The about panel `frAbout`: the program's picture, name, maker,
//! description, version and web site, and the button that closes it. It
//! slides over the main panel like the options panel.
class AboutPanel : public controls::FramePanel {
    Q_OBJECT
public:
    //! `webSite` is the maker's web-site address, a setting of the build.
    explicit AboutPanel(const QString& webSite, QWidget* parent = nullptr);

    //! Sets the localized texts; the maker's name, the notice and the
    //! web-site label are fixed texts.
    void applyCaptions();

    //! The version as major.minor.0.revision of "major.minor.revision".
    static QString versionText(const QString& version);

    QLabel* Image1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblMaker = nullptr;
    QLabel* lblAboutText = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblWebSite = nullptr;
    QLabel* lblVer = nullptr;
    QPushButton* cmdCloseHelp = nullptr;

Q_SIGNALS:
    void webSiteClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace app
