#pragma once

#include "platform/CancellationToken.h"

#include <QtGlobal>

#include <memory>

// The "latest request wins" rule of a load that a newer load supersedes.
// `begin()` cancels the running request and hands out a ticket for the new one;
// a coroutine checks its ticket after every suspension and publishes nothing
// once the ticket is no longer current. Kept as a member of the object that
// loads: a ticket also stops being current when its owner is destroyed, so a
// current ticket guarantees the owner is still there.
class LatestRequest {
public:
    class Ticket {
    public:
        Ticket() = default;
        // False once a newer request began, the request was cancelled or the
        // owner is gone.
        bool isCurrent() const
        {
            const auto generation = m_generation.lock();
            return generation && *generation == m_id;
        }
        // Cancelled when the request is superseded, cancelled or its owner goes.
        const CancellationToken& token() const { return m_token; }

    private:
        friend class LatestRequest;
        Ticket(std::weak_ptr<const quint64> generation, quint64 id, CancellationToken token)
            : m_generation(std::move(generation))
            , m_id(id)
            , m_token(std::move(token))
        {
        }
        std::weak_ptr<const quint64> m_generation;
        quint64 m_id = 0;
        CancellationToken m_token;
    };

    LatestRequest() = default;
    LatestRequest(const LatestRequest&) = delete;
    LatestRequest& operator=(const LatestRequest&) = delete;

    // Supersedes the running request, if any, and starts a new one.
    Ticket begin()
    {
        CancellationSource source;
        m_running = TaskHandle(source); // cancels the previous request's token
        return Ticket(m_generation, ++*m_generation, source.token());
    }
    // Ends the running request without starting another; its ticket stops being current.
    void cancel()
    {
        ++*m_generation;
        m_running.cancel();
    }
    // True while the last request began has neither been superseded nor cancelled.
    bool isRunning() const { return m_running.isActive(); }

private:
    std::shared_ptr<quint64> m_generation = std::make_shared<quint64>(0);
    TaskHandle m_running;
};
