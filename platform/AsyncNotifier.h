#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <coroutine>
#include <vector>

// Wakes the coroutines waiting on it. Each waiter is resumed exactly once, from
// the event loop (never inside notifyAll), however many notifications arrive
// before it runs: a signal-based wait would queue one resumption per emission
// and resume a coroutine that has already moved on. Main thread only. Keep it
// alive while anyone waits, e.g. in state shared with the waiting frames.
class AsyncNotifier {
public:
    struct Awaiter {
        AsyncNotifier* notifier;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) { notifier->m_waiters.push_back(handle); }
        void await_resume() const noexcept {}
    };

    AsyncNotifier() = default;
    AsyncNotifier(const AsyncNotifier&) = delete;
    AsyncNotifier& operator=(const AsyncNotifier&) = delete;

    // co_await notifier.wait() suspends until the next notifyAll().
    Awaiter wait() { return Awaiter{this}; }

    void notifyAll()
    {
        std::vector<std::coroutine_handle<>> waiters;
        waiters.swap(m_waiters);
        for (std::coroutine_handle<> handle : waiters) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [handle] { handle.resume(); }, Qt::QueuedConnection);
        }
    }

    bool hasWaiters() const { return !m_waiters.empty(); }

private:
    std::vector<std::coroutine_handle<>> m_waiters;
};
