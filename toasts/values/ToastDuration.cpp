#include "toasts/values/ToastDuration.h"

#include "platform/AsyncWait.h"

#include <cmath>

ToastDuration ToastDuration::seconds(double seconds)
{
    constexpr double minimum = 0.1;
    constexpr double maximum = 18446744073709551616.0; // 2^64
    if (std::isnan(seconds))
        return ToastDuration(minimum);
    return ToastDuration(std::min(std::max(seconds, minimum), maximum));
}

std::optional<std::chrono::nanoseconds> ToastDuration::waitLength(double seconds)
{
    const double nanoseconds = std::floor(seconds * 1e9);
    if (!std::isfinite(nanoseconds))
        return std::nullopt;
    // 2^63 is the first value a signed 64-bit count cannot hold.
    if (nanoseconds >= 9223372036854775808.0)
        return std::nullopt;
    if (nanoseconds < 1)
        return std::chrono::nanoseconds(1);
    return std::chrono::nanoseconds(static_cast<std::int64_t>(nanoseconds));
}

QCoro::Task<bool> ToastDuration::sleep(double seconds, CancellationToken token)
{
    const auto length = waitLength(seconds);
    if (!length) {
        co_await waitUntilCancelled(token);
        co_return false;
    }
    co_return co_await sleepFor(*length, token);
}

QCoro::Task<> ToastDuration::waitUntilCancelled(CancellationToken token)
{
    using namespace std::chrono_literals;
    for (;;) {
        if (token.isCancelled())
            co_return;
        co_await yieldOnce();
        if (token.isCancelled())
            co_return;
        if (!co_await sleepFor(60s, token))
            co_return;
    }
}
