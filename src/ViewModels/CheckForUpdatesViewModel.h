#pragma once

#include <QObject>

class SoftwareUpdater;

// Mirrors whether the updater allows a check now. False until the updater
// has said otherwise.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
public:
    explicit CheckForUpdatesViewModel(SoftwareUpdater* updater, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }

signals:
    void canCheckForUpdatesChanged(bool canCheckForUpdates);

private:
    void setCanCheckForUpdates(bool value);

    bool m_canCheckForUpdates = false;
};
