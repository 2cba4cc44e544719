#pragma once

#include <QAction>

class CheckForUpdatesViewModel;
class SoftwareUpdater;

// The "Check for Updates..." menu command: starts a check the person asked
// for, and is enabled only while the updater allows one.
class CheckForUpdatesView : public QAction {
    Q_OBJECT
public:
    explicit CheckForUpdatesView(SoftwareUpdater* updater, QObject* parent = nullptr);

    CheckForUpdatesViewModel* viewModel() const { return m_viewModel; }

private:
    CheckForUpdatesViewModel* m_viewModel;
};
