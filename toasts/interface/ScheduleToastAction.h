#pragma once

#include "toasts/interface/CancellablesBox.h"
#include "toasts/values/Toast.h"
#include "toasts/values/ToastAlignment.h"
#include "toasts/engine/ToastCancellation.h"
#include "toasts/engine/ToastEnvironmentValues.h"
#include "toasts/presenters/ToastPresenterProxy.h"

#include <functional>
#include <memory>

// The callable that tasks and buttons hand to application code: each call
// schedules one toast with the environment captured at its owner's place.
// Its handles go into the owner's box, held weakly; once the box has gone,
// only toasts that need no handle (`never`) are still scheduled. Main thread.
struct ScheduleToastAction {
    ToastPresenterProxy toastPresenterProxy;
    ToastEnvironmentValues toastEnvironmentValues;
    ToastCancellation toastCancellation = ToastCancellation::automatic;
    // Replaces `automatic`.
    ToastCancellation preferredCancellation = ToastCancellation::presentation;
    std::weak_ptr<CancellablesBox> cancellablesBox;

    void operator()(const Toast& toast, ToastAlignment alignment = ToastAlignment::top(),
                    std::function<void()> onPresent = {}, std::function<void()> onDismiss = {}) const;
    bool canSchedule() const;
};
