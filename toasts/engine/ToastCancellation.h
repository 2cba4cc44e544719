#pragma once

#include "platform/Environment.h"

#include <array>

// How a scheduled toast may be withdrawn while it still waits in its queue:
// never (no handle is kept), presentation (the caller keeps the handle),
// always (earlier handles of the same caller are cancelled first), automatic
// (the scheduling action's own preference).
enum class ToastCancellation {
    never,
    presentation,
    always,
    automatic,
};

namespace ToastCancellations {
inline constexpr std::array<ToastCancellation, 4> allCases{
    ToastCancellation::never, ToastCancellation::presentation, ToastCancellation::always, ToastCancellation::automatic};
}

// The cancellation in force for toasts scheduled below a widget; automatic
// by default.
struct ToastCancellationEnvironmentKey {
    static const EnvironmentKey<ToastCancellation>& key();
};

void toastCancellation(QWidget* widget, ToastCancellation cancellation);
