#pragma once

#include "Services/Network/ConnectivityStatus.h"
#include "platform/CancellationToken.h"

#include <QObject>

#include <vector>

// The network status for views. Nothing in the application creates one.
class NetworkViewModel : public QObject {
    Q_OBJECT
public:
    explicit NetworkViewModel(QObject* parent = nullptr);

    ConnectivityStatus connectivityStatus() const { return m_connectivityStatus; }
    void setConnectivityStatus(ConnectivityStatus status);

signals:
    void connectivityStatusChanged(ConnectivityStatus status);

private:
    // Nothing is known until a monitor says so.
    ConnectivityStatus m_connectivityStatus = ConnectivityStatus::disconnected;
    std::vector<AnyCancellable> m_cancellables; // subscriptions this model owns
};
