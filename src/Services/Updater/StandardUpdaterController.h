#pragma once

#include "Services/Updater/SoftwareUpdater.h"

#include <QObject>

// Owns the application's updater and its standard dialogs. Created once at
// launch and kept for the life of the application.
class StandardUpdaterController : public QObject {
    Q_OBJECT
public:
    explicit StandardUpdaterController(bool startingUpdater, QObject* parent = nullptr);

    SoftwareUpdater* updater() const { return m_updater; }

private:
    SoftwareUpdater* m_updater;
};
