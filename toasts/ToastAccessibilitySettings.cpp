#include "toasts/ToastAccessibilitySettings.h"

namespace {
std::optional<bool>& reduceTransparencyOverride()
{
    static std::optional<bool> value;
    return value;
}
} // namespace

namespace ToastAccessibilitySettings {
bool reduceTransparency()
{
    // Qt offers no reading of the desktop's setting; without an override the
    // card keeps its translucent look.
    return reduceTransparencyOverride().value_or(false);
}

void setReduceTransparencyOverride(std::optional<bool> value)
{
    reduceTransparencyOverride() = value;
}
} // namespace ToastAccessibilitySettings
