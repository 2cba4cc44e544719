#include "Services/Network/CombineNetworkMonitor.h"

CombineNetworkMonitor::CombineNetworkMonitor(QObject* parent)
    : QObject(parent)
    , m_queue(thread())
{
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadDefaultBackend();
    m_monitor = QNetworkInformation::instance();
    if (!m_monitor)
        return;
    connect(m_monitor, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                if (const auto status = statusFor(reachability))
                    emit connectivityStatus(*status);
            });
}

std::optional<ConnectivityStatus> CombineNetworkMonitor::statusFor(QNetworkInformation::Reachability reachability)
{
    switch (reachability) {
    case QNetworkInformation::Reachability::Online:
        return ConnectivityStatus::connected;
    case QNetworkInformation::Reachability::Disconnected:
        return ConnectivityStatus::disconnected;
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site:
        // A network is there, but not the internet: a connection must be made first.
        return ConnectivityStatus::requiresConnection;
    case QNetworkInformation::Reachability::Unknown:
        break;
    }
    return std::nullopt;
}
