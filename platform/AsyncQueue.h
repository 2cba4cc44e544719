#pragma once

#include "platform/AsyncNotifier.h"
#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QObject>

#include <deque>
#include <memory>
#include <optional>

// An unbounded first-in, first-out queue with one awaiting consumer, the
// counterpart of an async stream. Main thread only: producers on other threads
// hand their items over with QMetaObject::invokeMethod first.
template <typename T>
class AsyncQueue {
public:
    AsyncQueue() = default;
    AsyncQueue(const AsyncQueue&) = delete;
    AsyncQueue& operator=(const AsyncQueue&) = delete;
    ~AsyncQueue() { close(); }

    // False when the queue is closed: the item was not taken.
    bool push(T item)
    {
        if (m_state->closed)
            return false;
        m_state->items.push_back(std::move(item));
        m_state->notifier.notifyAll();
        return true;
    }

    // Ends the stream: a waiting consumer gets nothing, later pushes are
    // refused. Returns the items that were still waiting, for the caller to
    // dispose of.
    std::deque<T> close()
    {
        if (m_state->closed)
            return {};
        m_state->closed = true;
        std::deque<T> left;
        left.swap(m_state->items);
        m_state->notifier.notifyAll();
        return left;
    }

    bool isClosed() const { return m_state->closed; }
    std::size_t size() const { return m_state->items.size(); }

    // The next item, or nothing once the queue is closed or the token cancelled.
    // Safe against the queue going away while the consumer waits: the state
    // outlives the queue for as long as a consumer holds it.
    QCoro::Task<std::optional<T>> next(CancellationToken token = {})
    {
        return nextImpl(m_state, std::move(token));
    }

private:
    struct State {
        std::deque<T> items;
        bool closed = false;
        AsyncNotifier notifier;
    };

    static QCoro::Task<std::optional<T>> nextImpl(std::shared_ptr<State> state, CancellationToken token)
    {
        if (state->items.empty() && !state->closed && !token.isCancelled()) {
            // Only a consumer that has to wait listens for the cancellation.
            QObject context;
            token.onCancel(&context, [raw = state.get()] { raw->notifier.notifyAll(); });
            while (state->items.empty() && !state->closed && !token.isCancelled())
                co_await state->notifier.wait();
        }
        if (state->closed || token.isCancelled())
            co_return std::nullopt;
        T item = std::move(state->items.front());
        state->items.pop_front();
        co_return item;
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};
