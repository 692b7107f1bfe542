#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace options {

//! Page 4 of the option pages (`frFormat` item 4): lies over the WMA page and
//! covers it when WMA encoding is not available, offering the component
//! download. The main window connects the download buttons to the remedies.
class WmaNoticeView : public QWidget {
    Q_OBJECT
public:
    explicit WmaNoticeView(QWidget* parent = nullptr);

    //! Sets the localized texts of the page.
    void applyCaptions();

    QLabel* lblNotInstalled = nullptr;
    QPushButton* cmdDownloadWMF = nullptr;
    QPushButton* cmdOpenWMSite = nullptr;
    QLabel* lblRestartAfterInstalling = nullptr;
};

} // namespace options
