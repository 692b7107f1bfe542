#pragma once

class QUrl;

namespace remedy {

//! False only when the system's network information says that there is no
//! connection; true when it says otherwise or cannot tell (no backend).
bool isNetworkConnected();

//! Whether `url` names this machine (a loopback address or "localhost"),
//! which needs no network connection.
bool isLocalAddress(const QUrl& url);

} // namespace remedy
