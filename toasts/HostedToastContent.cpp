#include "toasts/HostedToastContent.h"

#include "toasts/DefaultToastCard.h"

#include "platform/AssociatedStorage.h"

#include <QWidget>

namespace {
const AssociatedProperty<ToastDismissAction>& dismissOfToast()
{
    static const AssociatedProperty<ToastDismissAction> property("toasts.hostedDismiss");
    return property;
}
} // namespace

std::function<QWidget*(QWidget* parent)> hostedToastView(
    const ToastPresentation& presentation, const QVariant& id, std::function<void()> dismiss)
{
    const ToastDismissAction action(static_cast<qint64>(qHash(id.toString())), std::move(dismiss));
    return [configuration = presentation.toast.configuration,
               style = presentation.toastEnvironmentValues.toastStyle, action](QWidget* parent) -> QWidget* {
        QWidget* body = style.makeBody ? style.makeBody(configuration, parent) : nullptr;
        if (!body)
            body = new DefaultToastCard(configuration, parent);
        dismissOfToast().set(body, action);
        return body;
    };
}

std::optional<ToastDismissAction> hostedToastDismissAction(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto action = dismissOfToast().get(w))
            return *action;
    }
    return std::nullopt;
}
