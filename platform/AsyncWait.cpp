#include "platform/AsyncWait.h"

#include <QCoroSignal>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {
// A single QTimer holds at most INT_MAX milliseconds; longer waits go in steps.
constexpr std::chrono::milliseconds kLongestStep{std::chrono::hours(24)};
} // namespace

QCoro::Task<bool> sleepFor(std::chrono::nanoseconds duration, CancellationToken token)
{
    using namespace std::chrono;
    auto remaining = duration;
    do {
        if (token.isCancelled())
            co_return false;
        // Round up so that a wait never ends before its time.
        const auto stepMs = std::min(ceil<milliseconds>(std::max(remaining, nanoseconds(0))), kLongestStep);
        auto waiter = std::make_unique<platform_detail::OneShotWaiter>();
        auto* raw = waiter.get();
        QTimer::singleShot(stepMs, raw, [raw] { raw->finish(true); });
        token.onCancel(raw, [raw] { raw->finish(false); });
        const bool completed = co_await qCoro(raw, &platform_detail::OneShotWaiter::finished);
        if (!completed)
            co_return false;
        remaining -= duration_cast<nanoseconds>(stepMs);
    } while (remaining > std::chrono::nanoseconds(0));
    co_return !token.isCancelled();
}

QCoro::Task<> waitForCancellation(CancellationToken token)
{
    if (token.isCancelled())
        co_return;
    auto waiter = std::make_unique<platform_detail::OneShotWaiter>();
    auto* raw = waiter.get();
    token.onCancel(raw, [raw] { raw->finish(false); });
    co_await qCoro(raw, &platform_detail::OneShotWaiter::finished);
}

QCoro::Task<> yieldOnce()
{
    auto waiter = std::make_unique<platform_detail::OneShotWaiter>();
    auto* raw = waiter.get();
    QTimer::singleShot(0, raw, [raw] { raw->finish(true); });
    co_await qCoro(raw, &platform_detail::OneShotWaiter::finished);
}
