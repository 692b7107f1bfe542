#include "remedy/NetworkConnectivity.h"

#include <QHostAddress>
#include <QNetworkInformation>
#include <QUrl>

namespace remedy {

bool isNetworkConnected()
{
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation* information = QNetworkInformation::instance();
    return !information || information->reachability() != QNetworkInformation::Reachability::Disconnected;
}

bool isLocalAddress(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace remedy
