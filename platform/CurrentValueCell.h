#pragma once

#include "platform/AsyncNotifier.h"
#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>

#include <functional>
#include <memory>

namespace platform_detail {
class CellSignal : public QObject {
    Q_OBJECT
signals:
    void changed();
};
} // namespace platform_detail

// A value with a change signal and an awaitable wait until it satisfies a
// condition: the stand-in for a current-value subject. Main thread only.
template <typename T>
class CurrentValueCell {
public:
    explicit CurrentValueCell(T initial = T{})
        : m_state(std::make_shared<State>(std::move(initial)))
    {
    }
    CurrentValueCell(const CurrentValueCell&) = delete;
    CurrentValueCell& operator=(const CurrentValueCell&) = delete;
    // Waits still running end when the cell goes: the value can no longer change.
    ~CurrentValueCell()
    {
        m_state->released = true;
        m_state->notifier.notifyAll();
    }

    const T& value() const { return m_state->value; }

    void set(T value)
    {
        if (m_state->value == value)
            return;
        m_state->value = std::move(value);
        m_state->notifier.notifyAll();
        emit m_state->signal.changed();
    }

    // The object whose changed() signal fires after every change.
    const platform_detail::CellSignal* notifier() const { return &m_state->signal; }

    // Resumes as soon as `condition(value())` holds (at once if it already
    // does). Returns false when the token was cancelled or the cell
    // destroyed first.
    QCoro::Task<bool> waitUntil(std::function<bool(const T&)> condition, CancellationToken token = {}) const
    {
        return waitImpl(m_state, std::move(condition), std::move(token));
    }

private:
    struct State {
        explicit State(T initial)
            : value(std::move(initial))
        {
        }
        T value;
        platform_detail::CellSignal signal;
        AsyncNotifier notifier;
        bool released = false;
    };

    static QCoro::Task<bool> waitImpl(std::shared_ptr<State> state, std::function<bool(const T&)> condition,
                                      CancellationToken token)
    {
        QObject context;
        token.onCancel(&context, [raw = state.get()] { raw->notifier.notifyAll(); });
        while (!token.isCancelled() && !state->released && !condition(state->value))
            co_await state->notifier.wait();
        co_return !token.isCancelled() && condition(state->value);
    }

    std::shared_ptr<State> m_state;
};
