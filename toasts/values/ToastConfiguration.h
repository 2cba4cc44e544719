#pragma once

#include "toasts/values/ToastContent.h"
#include "toasts/values/ToastDuration.h"
#include "toasts/values/ToastRole.h"

// What a toast shows and for how long.
struct ToastConfiguration {
    ToastRole role = ToastRole::plain;
    ToastDuration duration = ToastDuration::mediumDuration();
    ToastContent content;
};
