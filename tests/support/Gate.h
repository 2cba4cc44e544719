#pragma once

#include <QObject>
#include <QPointer>

#include <QCoroSignal>
#include <QCoroTask>

// Holds an operation in flight (an add, a load) until the test opens it.
class Gate : public QObject {
    Q_OBJECT
signals:
    void opened();
};

inline QCoro::Task<> waitForGate(QPointer<Gate> gate)
{
    if (gate)
        co_await qCoro(gate.data(), &Gate::opened);
}
