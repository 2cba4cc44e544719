#include "Services/Network/ConnectivityStatus.h"

QString rawValue(ConnectivityStatus status)
{
    switch (status) {
    case ConnectivityStatus::connected:
        return QStringLiteral("Connected");
    case ConnectivityStatus::disconnected:
        return QStringLiteral("Disconnected");
    case ConnectivityStatus::requiresConnection:
        return QStringLiteral("Requires Connection");
    }
    return {};
}

std::optional<ConnectivityStatus> connectivityStatusFromRawValue(const QString& raw)
{
    for (ConnectivityStatus status :
         {ConnectivityStatus::connected, ConnectivityStatus::disconnected, ConnectivityStatus::requiresConnection}) {
        if (rawValue(status) == raw)
            return status;
    }
    return std::nullopt;
}
