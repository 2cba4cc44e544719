#pragma once

#include "toasts/values/ToastConfiguration.h"

class QWidget;

// How toasts look: builds the widget that draws one toast's configuration
// under `parent`, reading the toast's environment there (presented alignment,
// dismiss action, interactive-dismiss flag). Main thread.
class ToastStyle {
public:
    virtual ~ToastStyle() = default;
    virtual QWidget* makeBody(const ToastConfiguration& configuration, QWidget* parent) const = 0;
};
