#pragma once

#include "toasts/styles/AnyToastStyle.h"
#include "toasts/animation/ToastTransition.h"

class QWidget;

// The environment of the place that scheduled a toast, carried with it so
// that it looks and moves as that place says, wherever it is shown.
struct ToastEnvironmentValues {
    AnyToastStyle toastStyle;
    ToastTransition toastTransition = ToastTransition::defaultTransition();
    bool toastInteractiveDismissEnabled = true;

    // Reads the three values at `widget`.
    static ToastEnvironmentValues capture(const QWidget* widget);
};
