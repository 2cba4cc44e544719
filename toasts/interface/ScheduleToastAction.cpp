#include "toasts/interface/ScheduleToastAction.h"

void ScheduleToastAction::operator()(
    const Toast& toast, ToastAlignment alignment, std::function<void()> onPresent, std::function<void()> onDismiss) const
{
    auto box = cancellablesBox.lock();
    if (!box && toastCancellation != ToastCancellation::never)
        return;
    ToastPresentation presentation{toast, alignment, toastEnvironmentValues, {}, std::move(onPresent),
                                   std::move(onDismiss)};
    const ToastCancellation policy =
        toastCancellation == ToastCancellation::automatic ? preferredCancellation : toastCancellation;
    ToastHandleSet scratch;
    toastPresenterProxy.schedule(std::move(presentation), policy, box ? box->cancellables : scratch);
    // Without a box only `never` gets here, which keeps no handle.
}

bool ScheduleToastAction::canSchedule() const
{
    if (cancellablesBox.expired() && toastCancellation != ToastCancellation::never)
        return false;
    return toastPresenterProxy.hasPresenter();
}
