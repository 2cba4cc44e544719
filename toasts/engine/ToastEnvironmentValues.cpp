#include "toasts/engine/ToastEnvironmentValues.h"

#include "toasts/values/ToastDismissAction.h"

ToastEnvironmentValues ToastEnvironmentValues::capture(const QWidget* widget)
{
    return ToastEnvironmentValues{Environment::get(widget, ToastStyleEnvironmentKey::key()),
                                  Environment::get(widget, ToastTransitionEnvironmentKey::key()),
                                  Environment::get(widget, ToastInteractiveDismissEnabledEnvironmentKey::key())};
}
