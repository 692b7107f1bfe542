#pragma once

#include <QString>

namespace platform {

//! Shows a notification through the desktop's notification service
//! (org.freedesktop.Notifications on the session bus), under the program's
//! name and icon. Does not wait for the service; false when there is no
//! session bus to send it on.
bool SendDesktopNotification(const QString& title, const QString& text);

} // namespace platform
