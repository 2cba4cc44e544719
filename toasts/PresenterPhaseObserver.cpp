#include "PresenterPhaseObserver.h"

#include <SignalWait.h>

PresenterPhaseObserver::PresenterPhaseObserver(PresenterPhaseSubject* subject, QObject* parent)
    : QObject(parent)
{
    if (!subject)
        return;
    connect(subject, &PresenterPhaseSubject::sent, this, &PresenterPhaseObserver::receive);
    // A subscription starts with the subject's current value.
    receive(subject->value());
}

void PresenterPhaseObserver::receive(PresenterPhase phase)
{
    if (m_lastReceived == phase)
        return;
    m_lastReceived = phase;
    m_phase.set(phase);
}

QCoro::Task<bool> PresenterPhaseObserver::waitUntilActive(CancellationToken token) const
{
    return waitForActive(QPointer<const PresenterPhaseObserver>(this), std::move(token));
}

QCoro::Task<bool> PresenterPhaseObserver::waitForActive(
    QPointer<const PresenterPhaseObserver> self, CancellationToken token)
{
    while (self && !token.isCancelled()) {
        if (self->phase() == PresenterPhase::active)
            co_return true;
        co_await nextEmission(self->m_phase.notifier(), &platform_detail::CellSignal::changed, token);
    }
    co_return false;
}
