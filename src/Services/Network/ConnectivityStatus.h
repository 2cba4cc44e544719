#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// What the network path allows, as the network-status monitor reports it.
enum class ConnectivityStatus {
    connected,
    disconnected,
    requiresConnection,
};

QString rawValue(ConnectivityStatus status);
// Exactly one of the three raw values, case and all; nothing for any other text.
std::optional<ConnectivityStatus> connectivityStatusFromRawValue(const QString& raw);

inline size_t qHash(ConnectivityStatus status, size_t seed = 0)
{
    return qHash(rawValue(status), seed);
}
