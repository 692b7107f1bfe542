#pragma once

#include <QString>

namespace lang {

//! The language file the user chose, as remembered in the per-user settings
//! (application "Tonemill", section "Language", key "Name"), or "English.ini"
//! when nothing or an empty name is remembered.
QString rememberedLanguageFile();

//! Remembers `fileName` as the user's language choice.
void rememberLanguageFile(const QString& fileName);

} // namespace lang
