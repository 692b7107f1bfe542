#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace filelist {

// The pure rules of admission: path repair, the extension test, and the
// texts of a row's size and playing time.

//! Repairs a path joined from a folder that already ended in "/": unless the
//! path begins with "//" (kept exactly as given), every "//" becomes "/",
//! scanning left to right without overlap ("////" becomes "//").
QString NormaliseAdmissionPath(const QString& path);

//! The text after the last "." of the last path component; empty when none.
QString AdmissionExtension(const QString& path);

//! The extension test: true when the extension is not empty and "." followed
//! by it occurs, ignoring case, in the list of admitted extensions (so a
//! leading part of a listed extension passes too: "mp", "mid").
bool HasAdmittedExtension(const QString& path);

//! The admitted extensions, each once, in lower case (for the desktop
//! entry's list of types, say).
QStringList AdmittedExtensions();

//! True when the last three characters of the path are "cda" in any case.
bool IsCdTrackPath(const QString& path);

//! True when the last three characters, in lower case, are "wma", "asf" or "wmv".
bool IsWindowsMediaPath(const QString& path);

//! The size text of a byte count: "512 Bytes", "1.5 KB", "4.68 MB", "1 GB";
//! two decimals at most, halves to the even neighbour, the decimal separator
//! of `locale` (the system's unless given), no grouping. Empty for a
//! negative count.
QString FormatFileSize(qint64 bytes, const QLocale& locale = QLocale());

//! The playing-time text of a number of seconds, rounded to whole seconds
//! (halves to even): minutes with at least two digits, ":", two-digit
//! seconds ("00:00", "03:07", "125:00"). Negative or undefined values count
//! as 0.
QString FormatDuration(double seconds);

} // namespace filelist
