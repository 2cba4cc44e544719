#pragma once

#include "toasts/values/Toast.h"
#include "toasts/values/ToastAlignment.h"
#include "toasts/engine/ToastEnvironmentValues.h"
#include "toasts/engine/ToastPresentationCanceller.h"

#include <functional>
#include <memory>

// One toast on its way from the view that asked for it to the presenter that
// shows it; copied freely. The presenter calls onPresent when the toast comes
// on screen and onDismiss once when it has gone; both on the main thread.
struct ToastPresentation {
    Toast toast;
    ToastAlignment toastAlignment;
    ToastEnvironmentValues toastEnvironmentValues;
    // Never keeps the canceller alive.
    std::weak_ptr<ToastPresentationCanceller> presentationCanceller;
    std::function<void()> onPresent;
    std::function<void()> onDismiss;
};
