#include "toasts/engine/PresenterPhaseObserver.h"


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
    return m_phase.waitUntil([](const PresenterPhase& phase) { return phase == PresenterPhase::active; }, std::move(token));
}
