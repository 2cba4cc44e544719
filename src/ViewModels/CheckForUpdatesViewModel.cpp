#include "ViewModels/CheckForUpdatesViewModel.h"

#include "Services/Updater/SoftwareUpdater.h"
#include "platform/PropertySetter.h"

CheckForUpdatesViewModel::CheckForUpdatesViewModel(SoftwareUpdater* updater, QObject* parent)
    : QObject(parent)
    , m_updater(updater)
{
    // The subscription ends with this object, as the receiver.
    if (updater)
        updater->observeCanCheckForUpdates(this, [this](bool value) { setCanCheckForUpdates(value); });
}

SoftwareUpdater* CheckForUpdatesViewModel::updater() const
{
    return m_updater;
}

void CheckForUpdatesViewModel::checkForUpdates()
{
    if (m_updater)
        m_updater->checkForUpdates();
}

void CheckForUpdatesViewModel::setCanCheckForUpdates(bool value)
{
    assignAndNotify(this, m_canCheckForUpdates, value, &CheckForUpdatesViewModel::canCheckForUpdatesChanged);
}
