#include "toasts/interface/ToastModifier.h"

ToastModifier<bool>* toast(QWidget* view, Binding<bool> isPresented, ToastAlignment alignment,
                           std::function<void()> onDismiss, std::function<std::optional<Toast>()> toast)
{
    Binding<std::optional<bool>> value = isPresented.transform<std::optional<bool>>(
        [](const bool& on) { return on ? std::optional<bool>(true) : std::nullopt; },
        [](const std::optional<bool>& v) { return v.has_value(); });
    auto onToastDismiss = [isPresented, onDismiss](const bool& dismissed) {
        if (isPresented.get() == dismissed)
            isPresented.set(false);
        if (onDismiss)
            onDismiss();
    };
    return new ToastModifier<bool>(view, value, alignment, onToastDismiss,
                                   [toast](const bool&) { return toast ? toast() : std::nullopt; });
}
