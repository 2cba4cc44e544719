#pragma once

#include "toasts/ToastContent.h"
#include "toasts/ToastDuration.h"
#include "toasts/ToastRole.h"

// What a toast shows and for how long.
struct ToastConfiguration {
    ToastRole role = ToastRole::plain;
    ToastDuration duration = ToastDuration::mediumDuration();
    ToastContent content;
};
