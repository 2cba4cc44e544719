#pragma once

#include "Services/Network/ConnectivityStatus.h"

#include <QNetworkInformation>
#include <QObject>
#include <QPointer>
#include <QThread>

// A network-status monitor over the desktop's reachability reports. Nothing
// in the application creates one: no monitoring runs.
class CombineNetworkMonitor : public QObject {
    Q_OBJECT
public:
    explicit CombineNetworkMonitor(QObject* parent = nullptr);

    // The status a reachability report stands for; nothing while the
    // desktop does not know.
    static std::optional<ConnectivityStatus> statusFor(QNetworkInformation::Reachability reachability);

signals:
    // Every status the monitor sees, as it sees it.
    void connectivityStatus(ConnectivityStatus status);

private:
    QPointer<QThread> m_queue;               // where reports would be delivered
    QPointer<QNetworkInformation> m_monitor; // the desktop's monitor, when it has one
};
