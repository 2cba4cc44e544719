#pragma once

#include "toasts/engine/ToastHandleSet.h"

// The holder of a component's toast handles, referred to weakly by the
// scheduling actions it hands out. When it goes, the handles are cancelled:
// its toasts still queued are withdrawn, a toast on screen runs its course.
class CancellablesBox {
public:
    ToastHandleSet cancellables;
};
