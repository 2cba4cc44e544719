#include "ViewModels/CheckForUpdatesViewModel.h"

#include "Services/Updater/SoftwareUpdater.h"

CheckForUpdatesViewModel::CheckForUpdatesViewModel(SoftwareUpdater* updater, QObject* parent)
    : QObject(parent)
{
    // The subscription ends with this object, as the receiver.
    if (updater)
        updater->observeCanCheckForUpdates(this, [this](bool value) { setCanCheckForUpdates(value); });
}

void CheckForUpdatesViewModel::setCanCheckForUpdates(bool value)
{
    if (m_canCheckForUpdates == value)
        return;
    m_canCheckForUpdates = value;
    emit canCheckForUpdatesChanged(value);
}
