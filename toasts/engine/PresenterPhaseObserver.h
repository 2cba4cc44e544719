#pragma once

#include "platform/CancellationToken.h"
#include "platform/CurrentValueCell.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>

enum class PresenterPhase {
    active,
    inactive,
};

// Where a presenter that shows toasts in its own layout reports whether it is
// on screen: a current value whose every send is delivered, duplicates
// included. Main thread only.
class PresenterPhaseSubject : public QObject {
    Q_OBJECT
public:
    explicit PresenterPhaseSubject(PresenterPhase initial, QObject* parent = nullptr)
        : QObject(parent)
        , m_value(initial)
    {
    }

    PresenterPhase value() const { return m_value; }
    void send(PresenterPhase phase)
    {
        m_value = phase;
        emit sent(phase);
    }

signals:
    void sent(PresenterPhase phase);

private:
    PresenterPhase m_value;
};

// Follows a presenter's own phase for the scheduler. Without a subject the
// presenter counts as active for ever. Main thread only.
class PresenterPhaseObserver : public QObject {
    Q_OBJECT
public:
    explicit PresenterPhaseObserver(PresenterPhaseSubject* subject, QObject* parent = nullptr);

    PresenterPhase phase() const { return m_phase.value(); }
    const CurrentValueCell<PresenterPhase>& phases() const { return m_phase; }

    // Resumes once the phase is active (at once if it is). False when the
    // token was cancelled first.
    QCoro::Task<bool> waitUntilActive(CancellationToken token) const;

private:
    void receive(PresenterPhase phase);

    CurrentValueCell<PresenterPhase> m_phase{PresenterPhase::active};
    std::optional<PresenterPhase> m_lastReceived;
};
