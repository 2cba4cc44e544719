#include "Views/UpdateCommand/CheckForUpdatesView.h"

#include "ViewModels/CheckForUpdatesViewModel.h"

CheckForUpdatesView::CheckForUpdatesView(SoftwareUpdater* updater, QObject* parent)
    : QAction(parent)
    , m_viewModel(new CheckForUpdatesViewModel(updater, this))
{
    setObjectName(QStringLiteral("CheckForUpdates"));
    setText(tr("Check for Updates..."));
    setMenuRole(QAction::ApplicationSpecificRole);
    setEnabled(m_viewModel->canCheckForUpdates());
    connect(m_viewModel, &CheckForUpdatesViewModel::canCheckForUpdatesChanged, this,
            [this] { setEnabled(m_viewModel->canCheckForUpdates()); });
    connect(this, &QAction::triggered, m_viewModel, &CheckForUpdatesViewModel::checkForUpdates);
}
