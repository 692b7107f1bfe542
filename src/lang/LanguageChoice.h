#pragma once

#include <QString>

namespace lang {

//! The language file used when the user has chosen none: "English.ini".
QString defaultLanguageFile();

//! The language file the user chose, as remembered in the per-user settings
//! (application "Tonemill", section "Language", key "Name"); empty when
//! nothing is remembered or the settings file cannot be read.
QString storedLanguageFile();

//! storedLanguageFile(), or "English.ini" when it is empty.
QString rememberedLanguageFile();

//! Remembers `fileName` as the user's language choice.
void rememberLanguageFile(const QString& fileName);

} // namespace lang
