#pragma once

#include "Services/Updater/UpdateCheckOutcome.h"

#include <functional>

// Shows people what an update check found. Replaceable, so that tests can
// see the outcome without a dialog waiting for a click.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;
    // Calls `acknowledged` exactly once, when the person is done with it.
    virtual void showOutcome(const UpdateCheckOutcome& outcome, std::function<void()> acknowledged) = 0;
};

// The standard driver: a message box over the active window, which does not
// block the event loop. A newer version offers its release page when the feed
// names one.
class StandardUpdateUserDriver : public UpdateUserDriver {
public:
    void showOutcome(const UpdateCheckOutcome& outcome, std::function<void()> acknowledged) override;
};
