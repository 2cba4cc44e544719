#include "toasts/HostedToastContent.h"

#include "toasts/DefaultToastCard.h"

#include "platform/AssociatedStorage.h"

#include <QWidget>

namespace {
const AssociatedProperty<std::function<void()>>& dismissOfToast()
{
    static const AssociatedProperty<std::function<void()>> property("toasts.hostedDismiss");
    return property;
}
} // namespace

std::function<QWidget*(QWidget* parent)> hostedToastView(
    const ToastPresentation& presentation, const QVariant& id, std::function<void()> dismiss)
{
    Q_UNUSED(id);
    return [configuration = presentation.toast.configuration,
               style = presentation.toastEnvironmentValues.toastStyle,
               dismiss = std::move(dismiss)](QWidget* parent) -> QWidget* {
        QWidget* body = style.makeBody ? style.makeBody(configuration, parent) : nullptr;
        if (!body)
            body = new DefaultToastCard(configuration, parent);
        dismissOfToast().set(body, dismiss);
        return body;
    };
}

std::function<void()> hostedToastDismissAction(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto action = dismissOfToast().get(w))
            return *action;
    }
    return {};
}
