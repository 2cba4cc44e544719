#pragma once

#include "toasts/ToastConfiguration.h"

// A transient notice: what it shows, its role and its duration. Its look is
// decided where it is displayed, by the style captured when it was scheduled.
struct Toast {
    ToastConfiguration configuration;
};
