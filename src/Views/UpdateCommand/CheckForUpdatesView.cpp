#include "Views/UpdateCommand/CheckForUpdatesView.h"

#include "Services/Updater/SoftwareUpdater.h"
#include "ViewModels/CheckForUpdatesViewModel.h"

CheckForUpdatesView::CheckForUpdatesView(SoftwareUpdater* updater, QObject* parent)
    : QAction(parent)
    , m_updater(updater)
    , m_viewModel(new CheckForUpdatesViewModel(updater, this))
{
    setObjectName(QStringLiteral("CheckForUpdates"));
    setText(tr("Check for Updates..."));
    setMenuRole(QAction::ApplicationSpecificRole);
    setEnabled(m_viewModel->canCheckForUpdates());
    connect(m_viewModel, &CheckForUpdatesViewModel::canCheckForUpdatesChanged, this, &QAction::setEnabled);
    connect(this, &QAction::triggered, this, [this] {
        if (m_updater)
            m_updater->checkForUpdates();
    });
}
