#include "toasts/values/ToastPresentedAlignment.h"

const EnvironmentKey<std::optional<ToastAlignment>>& ToastPresentedAlignmentEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastAlignment>> key{
        "toastPresentedAlignment", [] { return std::optional<ToastAlignment>(); }};
    return key;
}

bool isCentredPresentation(const std::optional<ToastAlignment>& alignment)
{
    if (!alignment)
        return false;
    const EdgeSet all = Edge::top | Edge::leading | Edge::bottom | Edge::trailing;
    return alignment->rawValue() == EdgeSet() || alignment->rawValue() == all;
}

bool isCentredPresentation(const QWidget* widget)
{
    return isCentredPresentation(Environment::get(widget, ToastPresentedAlignmentEnvironmentKey::key()));
}
