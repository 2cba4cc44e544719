#pragma once

#include "toasts/engine/ToastPresentation.h"

#include <QVariant>

#include <functional>

class QWidget;

// The root content a presenter hosts: the id of the hosting presenter and the
// builder of the toast's widget (an empty builder hosts nothing).
struct HostedToastContent {
    QVariant id;
    std::function<QWidget*(QWidget* parent)> content;
};

// The widget of a presentation's toast as every presenter shows it: the toast
// drawn by the style captured with the presentation, under a root that
// carries what the toast reads of its surroundings (presented alignment,
// the dismiss action signed with the hash of `id`, which names the
// presenter, the style and the interactive-dismiss flag). The toast is built
// outside the view that scheduled it, so all of that travels in the
// presentation.
std::function<QWidget*(QWidget* parent)> hostedToastView(
    const ToastPresentation& presentation, const QVariant& id, std::function<void()> dismiss);
