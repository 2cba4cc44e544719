#pragma once

#include "toasts/engine/PresentationContext.h"

// The toast module's one configuration.
class ToastsConfiguration {
public:
    // How much the toasts' waits are stretched: 1 leaves them as they are,
    // 0.5 halves them, 2 (the most) doubles them, 0 makes them as short as
    // possible. A NaN becomes 1.
    class TimeScale {
    public:
        constexpr TimeScale(double rawValue) // NOLINT: built from literals
            : m_rawValue(clamp(rawValue))
        {
        }
        constexpr double rawValue() const { return m_rawValue; }
        friend constexpr bool operator==(TimeScale a, TimeScale b) { return a.m_rawValue == b.m_rawValue; }
        friend size_t qHash(TimeScale scale, size_t seed = 0) { return qHash(scale.m_rawValue, seed); }

    private:
        static constexpr double clamp(double value)
        {
            if (value != value)
                return 1.0;
            if (value > 2.0)
                return 2.0;
            if (value <= 0)
                return 0.0;
            return value;
        }
        double m_rawValue;
    };

    // Made on first use, with a time scale of 1 and the default selector.
    static ToastsConfiguration& shared();

    TimeScale timeScale() const { return m_timeScale; }
    // `seconds` stretched by the time scale, for a wait about to start.
    double scaled(double seconds) const { return seconds * m_timeScale.rawValue(); }
    // Tests shorten every toast wait through this.
    void setTimeScaleForTesting(TimeScale scale) { m_timeScale = scale; }

    // Kept for those who read it; where toasts appear is decided by
    // defaultToastPresentationContextSelector().
    const ToastPresentationContextSelector& presentationContextSelector() const { return m_selector; }
    void setPresentationContextSelector(ToastPresentationContextSelector selector) { m_selector = std::move(selector); }

private:
    ToastsConfiguration() = default;

    TimeScale m_timeScale{1.0};
    ToastPresentationContextSelector m_selector = ToastPresentationContextSelector::defaultSelector();
};
