#pragma once

#include <QString>
#include <QVariant>

namespace platform {

//! Each user's own state, kept beside the language choice in the user's
//! settings file (QSettings in user scope, application "Tonemill"), never in
//! the store shared by every user: the window's place and size, the folder
//! each dialog was last used in.

//! The value of `key` ("Window/Geometry"); invalid when none is kept or the
//! file cannot be read.
QVariant userValue(const QString& key);

//! Keeps `value` under `key`.
void setUserValue(const QString& key, const QVariant& value);

} // namespace platform
