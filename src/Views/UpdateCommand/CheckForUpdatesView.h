#pragma once

#include "Services/Updater/SoftwareUpdater.h"

#include <QAction>
#include <QPointer>

class CheckForUpdatesViewModel;

// The "Check for Updates..." menu command: starts a check the person asked
// for, and is enabled only while the updater allows one.
class CheckForUpdatesView : public QAction {
    Q_OBJECT
public:
    explicit CheckForUpdatesView(SoftwareUpdater* updater, QObject* parent = nullptr);

    CheckForUpdatesViewModel* viewModel() const { return m_viewModel; }
    SoftwareUpdater* updater() const { return m_updater; }

private:
    QPointer<SoftwareUpdater> m_updater; // lives as long as the application
    CheckForUpdatesViewModel* m_viewModel;
};
