#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace platform_detail {
// Shared state behind a token; lives on the thread that made it (the GUI thread).
class CancellationState : public QObject {
    Q_OBJECT
public:
    bool cancelled = false;
    void cancel()
    {
        if (cancelled)
            return;
        cancelled = true;
        emit cancelledChanged();
    }
signals:
    void cancelledChanged();
};
} // namespace platform_detail

// The read side of cooperative cancellation. A coroutine takes one by value and
// checks it after every suspension; waits of the async kit end early on it.
// A default-constructed token is never cancelled.
class CancellationToken {
public:
    CancellationToken() = default;

    bool isCancelled() const { return m_state && m_state->cancelled; }

    // Calls `action` once, in the context of `receiver`, when the token is
    // cancelled. Nothing happens for a token that can never be cancelled.
    QMetaObject::Connection onCancel(const QObject* receiver, std::function<void()> action) const;

private:
    friend class CancellationSource;
    explicit CancellationToken(std::shared_ptr<platform_detail::CancellationState> state)
        : m_state(std::move(state))
    {
    }
    std::shared_ptr<platform_detail::CancellationState> m_state;
};

// The write side: hands out tokens and cancels them all at once.
class CancellationSource {
public:
    CancellationSource();
    CancellationToken token() const { return CancellationToken(m_state); }
    void cancel() { m_state->cancel(); }
    bool isCancelled() const { return m_state->cancelled; }

private:
    std::shared_ptr<platform_detail::CancellationState> m_state;
};

// Owner of a started task: cancels it when cancelled, replaced or destroyed.
// Move-only, like the handle of an unstructured task.
class TaskHandle {
public:
    TaskHandle() = default;
    explicit TaskHandle(CancellationSource source)
        : m_source(std::move(source))
        , m_engaged(true)
    {
    }
    TaskHandle(TaskHandle&& other) noexcept;
    TaskHandle& operator=(TaskHandle&& other) noexcept;
    TaskHandle(const TaskHandle&) = delete;
    TaskHandle& operator=(const TaskHandle&) = delete;
    ~TaskHandle() { cancel(); }

    void cancel();
    bool isActive() const { return m_engaged && !m_source.isCancelled(); }
    CancellationToken token() const { return m_source.token(); }

private:
    CancellationSource m_source;
    bool m_engaged = false;
};

// A move-only handle that runs its cancel action once, when cancelled or
// destroyed (the counterpart of a subscription token).
class AnyCancellable {
public:
    AnyCancellable() = default;
    explicit AnyCancellable(std::function<void()> cancelAction)
        : m_cancel(std::move(cancelAction))
    {
    }
    AnyCancellable(AnyCancellable&& other) noexcept
        : m_cancel(std::exchange(other.m_cancel, nullptr))
    {
    }
    AnyCancellable& operator=(AnyCancellable&& other) noexcept
    {
        if (this != &other) {
            cancel();
            m_cancel = std::exchange(other.m_cancel, nullptr);
        }
        return *this;
    }
    AnyCancellable(const AnyCancellable&) = delete;
    AnyCancellable& operator=(const AnyCancellable&) = delete;
    ~AnyCancellable() { cancel(); }

    void cancel()
    {
        if (auto action = std::exchange(m_cancel, nullptr))
            action();
    }
    // Gives up the handle without cancelling.
    void release() { m_cancel = nullptr; }
    bool isEngaged() const { return static_cast<bool>(m_cancel); }

private:
    std::function<void()> m_cancel;
};
