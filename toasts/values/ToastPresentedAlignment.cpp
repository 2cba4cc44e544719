#include "toasts/values/ToastPresentedAlignment.h"

#include "toasts/interface/ToastEnvironmentKeys.h"

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
