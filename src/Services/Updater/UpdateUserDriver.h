#pragma once

#include "Services/Updater/UpdateCheckOutcome.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

// Shows people what an update check found. Replaceable, so that tests can
// see the outcome without a dialog waiting for a click.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;
    // Calls `acknowledged` exactly once, when the person is done with it.
    virtual void showOutcome(const UpdateCheckOutcome& outcome, std::function<void()> acknowledged) = 0;
    // Shows that a check runs until dismissCheckInProgress(); `cancel` ends the check.
    virtual void showCheckInProgress(std::function<void()> cancel) { (void)cancel; }
    virtual void dismissCheckInProgress() {}
};

// The standard driver: windows over the active window, which do not block
// the event loop. While a check runs, a small window with an indeterminate
// bar and a Cancel button; then a message box with what it found. A newer
// version offers its release page when the feed names one.
class StandardUpdateUserDriver : public UpdateUserDriver {
public:
    ~StandardUpdateUserDriver() override;
    void showOutcome(const UpdateCheckOutcome& outcome, std::function<void()> acknowledged) override;
    void showCheckInProgress(std::function<void()> cancel) override;
    void dismissCheckInProgress() override;

private:
    QPointer<QDialog> m_progress;
    std::weak_ptr<std::function<void()>> m_pendingCancel; // held by the window
};
