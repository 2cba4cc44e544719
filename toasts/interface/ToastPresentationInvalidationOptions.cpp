#include "toasts/interface/ToastPresentationInvalidationOptions.h"

const EnvironmentKey<std::optional<ToastPresentationInvalidationOptions>>&
ToastPresentationInvalidationOptionsEnvironmentKey::key()
{
    static const EnvironmentKey<std::optional<ToastPresentationInvalidationOptions>> key{
        "toastPresentationInvalidation", [] { return std::optional<ToastPresentationInvalidationOptions>(); }};
    return key;
}

void toastPresentationInvalidation(QWidget* widget, std::optional<ToastPresentationInvalidationOptions> options)
{
    Environment::set(widget, ToastPresentationInvalidationOptionsEnvironmentKey::key(), options);
}
