#pragma once

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
