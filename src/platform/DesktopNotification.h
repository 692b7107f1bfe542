#pragma once

#include <QString>

namespace platform {

//! Shows a notification through the desktop's notification service
//! (org.freedesktop.Notifications on the session bus), under the program's
//! name and icon. False when no service answered.
bool SendDesktopNotification(const QString& title, const QString& text);

} // namespace platform
