#pragma once

#include <QObject>
#include <QPointer>

class SoftwareUpdater;

// Mirrors whether the updater allows a check now, and starts the checks the
// person asks for. False until the updater has said otherwise.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
public:
    explicit CheckForUpdatesViewModel(SoftwareUpdater* updater, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    SoftwareUpdater* updater() const;

    // A check the person asked for; the updater shows its progress and outcome.
    void checkForUpdates();

signals:
    void canCheckForUpdatesChanged();

private:
    void setCanCheckForUpdates(bool value);

    QPointer<SoftwareUpdater> m_updater; // lives as long as the application
    bool m_canCheckForUpdates = false;
};
