#pragma once

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>

#include <chrono>

namespace platform_detail {
// Resumes one awaiting coroutine once: by a timer, by a cancellation or by hand.
class OneShotWaiter : public QObject {
    Q_OBJECT
public:
    void finish(bool completed)
    {
        if (m_done)
            return;
        m_done = true;
        emit finished(completed);
    }
    bool isDone() const { return m_done; }
signals:
    void finished(bool completed);

private:
    bool m_done = false;
};
} // namespace platform_detail

// Suspends for `duration` on the event loop. Returns true when the full time
// passed, false when `token` was cancelled first (at once if it already was).
// Durations beyond what a timer holds are waited out in steps.
QCoro::Task<bool> sleepFor(std::chrono::nanoseconds duration, CancellationToken token = {});

// Suspends until the token is cancelled; a token that can never be cancelled
// waits forever, so only pass a real one.
QCoro::Task<> waitForCancellation(CancellationToken token);

// Lets the event loop run once before continuing.
QCoro::Task<> yieldOnce();
