#pragma once

#include "platform/Environment.h"

#include <QFlags>

#include <optional>

// What a value-driven toast modifier does about a toast it already has on
// screen when it schedules another one.
enum class ToastPresentationInvalidationOption {
    // The modifier first dismisses the toast it has on screen.
    dismissPrevious = 1,
    // The modifier's canceller dismisses its toast when the canceller goes.
    dismissOnCancellerRelease = 2,
};
Q_DECLARE_FLAGS(ToastPresentationInvalidationOptions, ToastPresentationInvalidationOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(ToastPresentationInvalidationOptions)

namespace ToastPresentationInvalidation {
inline constexpr ToastPresentationInvalidationOptions none{};
inline constexpr ToastPresentationInvalidationOptions all = ToastPresentationInvalidationOption::dismissPrevious
    | ToastPresentationInvalidationOption::dismissOnCancellerRelease;
} // namespace ToastPresentationInvalidation

// The invalidation options in force for value-driven modifiers below a
// widget; none by default.
struct ToastPresentationInvalidationOptionsEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastPresentationInvalidationOptions>>& key();
};

void toastPresentationInvalidation(QWidget* widget, std::optional<ToastPresentationInvalidationOptions> options);
