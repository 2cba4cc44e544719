#include "toasts/engine/ToastCancellation.h"

const EnvironmentKey<ToastCancellation>& ToastCancellationEnvironmentKey::key()
{
    static const EnvironmentKey<ToastCancellation> key{"toastCancellation", [] { return ToastCancellation::automatic; }};
    return key;
}

void toastCancellation(QWidget* widget, ToastCancellation cancellation)
{
    Environment::set(widget, ToastCancellationEnvironmentKey::key(), cancellation);
}
