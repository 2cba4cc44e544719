#pragma once

#include "CancellationToken.h"

#include <QCoroSignal>
#include <QCoroTask>
#include <QObject>
#include <QPointer>

#include <deque>
#include <memory>
#include <optional>

namespace platform_detail {
class QueueSignal : public QObject {
    Q_OBJECT
signals:
    void changed();
};
} // namespace platform_detail

// An unbounded first-in, first-out queue with one awaiting consumer, the
// counterpart of an async stream. Main thread only: producers on other threads
// hand their items over with QMetaObject::invokeMethod first.
template <typename T>
class AsyncQueue {
public:
    AsyncQueue()
        : m_signal(std::make_shared<platform_detail::QueueSignal>())
    {
    }
    AsyncQueue(const AsyncQueue&) = delete;
    AsyncQueue& operator=(const AsyncQueue&) = delete;
    ~AsyncQueue() { close(); }

    void push(T item)
    {
        if (m_state->closed)
            return;
        m_state->items.push_back(std::move(item));
        emit m_signal->changed();
    }

    // Ends the stream: a waiting consumer gets nothing, later pushes are dropped.
    void close()
    {
        if (m_state->closed)
            return;
        m_state->closed = true;
        m_state->items.clear();
        emit m_signal->changed();
    }

    bool isClosed() const { return m_state->closed; }
    std::size_t size() const { return m_state->items.size(); }

    // The next item, or nothing once the queue is closed or the token cancelled.
    // Safe against the queue going away while the consumer waits: the state and
    // the signal outlive the queue for as long as a consumer holds them.
    QCoro::Task<std::optional<T>> next(CancellationToken token = {})
    {
        return nextImpl(m_state, m_signal, std::move(token));
    }

private:
    struct State {
        std::deque<T> items;
        bool closed = false;
    };

    static QCoro::Task<std::optional<T>> nextImpl(std::shared_ptr<State> state,
                                                  std::shared_ptr<platform_detail::QueueSignal> signal,
                                                  CancellationToken token)
    {
        auto cancelConnection = token.onCancel(signal.get(), [raw = signal.get()] { emit raw->changed(); });
        while (state->items.empty() && !state->closed && !token.isCancelled())
            co_await qCoro(signal.get(), &platform_detail::QueueSignal::changed);
        QObject::disconnect(cancelConnection);
        if (state->closed || token.isCancelled())
            co_return std::nullopt;
        T item = std::move(state->items.front());
        state->items.pop_front();
        co_return item;
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
    std::shared_ptr<platform_detail::QueueSignal> m_signal;
};
