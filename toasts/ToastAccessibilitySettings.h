#pragma once

#include <optional>

// The desktop's reduce-transparency setting as the toast styles read it; a
// process-wide override lets tests draw either way. Main thread.
namespace ToastAccessibilitySettings {
bool reduceTransparency();
void setReduceTransparencyOverride(std::optional<bool> value);
} // namespace ToastAccessibilitySettings
