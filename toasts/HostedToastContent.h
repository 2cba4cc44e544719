#pragma once

#include "toasts/ToastDismissAction.h"
#include "toasts/ToastPresentation.h"

#include <QVariant>

#include <functional>
#include <optional>

class QWidget;

// The root content a presenter hosts: the id of the hosting presenter and the
// builder of the toast's widget (an empty builder hosts nothing).
struct HostedToastContent {
    QVariant id;
    std::function<QWidget*(QWidget* parent)> content;
};

// The widget of a presentation's toast as every presenter shows it: drawn by
// the style captured with the presentation, or by the default card when none
// was. `dismiss` is the toast's way to ask for its own removal, kept on the
// widget as a ToastDismissAction signed with the hash of `id`, which names
// the presenter. The toast is built outside the view that scheduled it, so
// what it needs of that place travels in the presentation.
std::function<QWidget*(QWidget* parent)> hostedToastView(
    const ToastPresentation& presentation, const QVariant& id, std::function<void()> dismiss);

// The dismiss action `hostedToastView` gave the widget, found from the widget
// or any child of it; none outside a hosted toast.
std::optional<ToastDismissAction> hostedToastDismissAction(const QWidget* widget);
