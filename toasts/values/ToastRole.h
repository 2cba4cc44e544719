#pragma once

#include <array>

// What kind of message a toast carries; styles choose their tint from it.
enum class ToastRole {
    plain,
    informational,
    success,
    warning,
    failure,
};

namespace ToastRoles {
inline constexpr std::array<ToastRole, 5> allCases{
    ToastRole::plain, ToastRole::informational, ToastRole::success, ToastRole::warning, ToastRole::failure};
}
