#pragma once

#include "AsyncWait.h"
#include "CancellationToken.h"

#include <QCoroSignal>
#include <QCoroTask>
#include <QObject>
#include <QPointer>

#include <memory>

// Waits for the next emission of `signal` by `sender`. Returns true when it
// came, false when the token was cancelled first (at once if it already was)
// or the sender was destroyed.
//
// Emissions that pile up before the waiting coroutine runs again resume it
// once: Qt still delivers a queued slot call after its connection has been
// cut, so awaiting a signal that may fire twice in one turn directly with
// qCoro() could resume a waiter that has already moved on. Here the signal
// only finishes a one-shot waiter, which resumes the coroutine exactly once.
template <typename Sender, typename Signal>
QCoro::Task<bool> nextEmission(const Sender* sender, Signal signal, CancellationToken token)
{
    if (token.isCancelled() || !sender)
        co_return false;
    auto waiter = std::make_unique<platform_detail::OneShotWaiter>();
    auto* raw = waiter.get();
    QObject::connect(sender, signal, raw, [raw] { raw->finish(true); });
    QObject::connect(sender, &QObject::destroyed, raw, [raw] { raw->finish(false); });
    token.onCancel(raw, [raw] { raw->finish(false); });
    const bool completed = co_await qCoro(raw, &platform_detail::OneShotWaiter::finished);
    co_return completed && !token.isCancelled();
}
