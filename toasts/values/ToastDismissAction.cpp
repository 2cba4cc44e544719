#include "toasts/values/ToastDismissAction.h"

const EnvironmentKey<std::optional<ToastDismissAction>>& ToastDismissEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastDismissAction>> key{
        "toastDismiss", [] { return std::optional<ToastDismissAction>(); }};
    return key;
}

const EnvironmentKey<bool>& ToastInteractiveDismissEnabledEnvironmentKey::key()
{
    static const EnvironmentKey<bool> key{"toastInteractiveDismissEnabled", [] { return true; }};
    return key;
}

void toastInteractiveDismissDisabled(QWidget* widget, bool disabled)
{
    Environment::set(widget, ToastInteractiveDismissEnabledEnvironmentKey::key(), !disabled);
}
