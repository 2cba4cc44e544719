#include "Services/Updater/StandardUpdaterController.h"

StandardUpdaterController::StandardUpdaterController(bool startingUpdater, QObject* parent)
    : QObject(parent)
    , m_updater(new SoftwareUpdater(HttpSession::shared(), SoftwareUpdater::Options{},
                                    std::make_shared<StandardUpdateUserDriver>(), this))
{
    if (startingUpdater)
        m_updater->start();
}
