#include "Services/Network/NetworkViewModel.h"

NetworkViewModel::NetworkViewModel(QObject* parent)
    : QObject(parent)
{
}

void NetworkViewModel::setConnectivityStatus(ConnectivityStatus status)
{
    if (m_connectivityStatus == status)
        return;
    m_connectivityStatus = status;
    emit connectivityStatusChanged(status);
}
