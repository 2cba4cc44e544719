#pragma once

#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QHashFunctions>

#include <chrono>
#include <optional>

// How long a toast stays on screen, in seconds. Zero or less means until it
// is dismissed or cancelled.
class ToastDuration {
public:
    constexpr ToastDuration() = default;
    constexpr explicit ToastDuration(double seconds)
        : m_rawValue(seconds)
    {
    }

    constexpr double rawValue() const { return m_rawValue; }
    constexpr bool isIndefinite() const { return !(m_rawValue > 0); }

    // The predefined durations short, medium and long.
    static constexpr ToastDuration shortDuration() { return ToastDuration(2.0); }
    static constexpr ToastDuration mediumDuration() { return ToastDuration(3.5); }
    static constexpr ToastDuration longDuration() { return ToastDuration(5.0); }

    // A timed duration, kept between 0.1 s and 2^64 s (a NaN becomes 0.1 s).
    static ToastDuration seconds(double seconds);

    // The nanoseconds a wait of `seconds` lasts: at least 1; nothing when the
    // time is non-finite or too long to count in 64-bit nanoseconds, which
    // callers treat as indefinite.
    static std::optional<std::chrono::nanoseconds> waitLength(double seconds);

    // Waits `seconds` (callers apply the toasts' time scale). Returns false
    // when the token was cancelled first. A wait too long to time (see waitLength)
    // lasts until the token is cancelled.
    static QCoro::Task<bool> sleep(double seconds, CancellationToken token);

    // The wait of an indefinite toast: returns only once the token is
    // cancelled, waking every 60 seconds meanwhile.
    static QCoro::Task<> waitUntilCancelled(CancellationToken token);

    friend constexpr bool operator==(ToastDuration a, ToastDuration b) { return a.m_rawValue == b.m_rawValue; }
    friend size_t qHash(ToastDuration duration, size_t seed = 0)
    {
        // -0.0 and +0.0 are equal and must hash alike.
        const double value = duration.m_rawValue == 0 ? 0.0 : duration.m_rawValue;
        return qHash(value, seed);
    }

private:
    double m_rawValue = 0;
};
