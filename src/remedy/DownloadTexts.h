#pragma once

#include <QString>

namespace remedy {

//! What the download dialog shows for one download: its window title, the
//! heading, the line under it and the small picture beside them. Resuming a
//! broken download is never offered.
struct DownloadTexts {
    QString title;
    QString label;
    QString description;
    QString smallWizardImage;

    //! The texts for the thing named `title`: "Downloading " + title for the
    //! window and the heading, the same + ", Please wait...." below, and the
    //! picture "icon.bmp" of `programFolder`.
    static DownloadTexts forTitle(const QString& title, const QString& programFolder);
};

// Fixed English texts of the download: the language files have no entry for
// them.
inline constexpr const char* kDownloadingPrefix = "Downloading ";
inline constexpr const char* kPleaseWaitSuffix = ", Please wait....";
inline constexpr const char* kNotConnectedText = "You are not connected to internet";
//! The name the WMA component's download goes by.
inline constexpr const char* kWmaComponentTitle = "Windows Media Format 9.0...";

} // namespace remedy
