#pragma once

#include "lang/StringTable.h"

#include <QLocale>
#include <QString>

namespace lang {

//! File name (with extension, without folder) of the current language file,
//! such as "English.ini". Empty until a language is chosen; every lookup then
//! gives its English default.
extern QString sLanguageFile;

//! Path of the current language file: the program folder, "/Lang/", then
//! `sLanguageFile`, joined as plain text.
QString languageFilePath();

//! The text of identifier `id` (decimal digits) in section "Tonemill" of the
//! current language file, or `fallback` when the file or the entry is
//! missing. Leading blanks are removed; trailing blanks remain only where the
//! file quotes the value. At most 499 bytes. The file is parsed once and
//! kept in memory; it is read again when `sLanguageFile` names another file
//! or the file on disk was changed or replaced, so the very next lookup
//! already gives the new text. Safe to call from any thread.
QString SetCaptionfromINI(const QString& id, const QString& fallback);

//! The localized text of `id` with the string table's English default.
QString caption(StringId id);

//! How the language shown writes numbers (its decimal separator): the
//! locale its file names for Qt's own texts ("de", "pt_BR").
QLocale numberLocale();

} // namespace lang
