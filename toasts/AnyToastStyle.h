#pragma once

#include "toasts/ToastConfiguration.h"

#include <functional>

class QWidget;

// A toast style with its type erased: builds the widget that draws a toast's
// configuration. An empty style leaves the drawing to the presenter's default.
struct AnyToastStyle {
    std::function<QWidget*(const ToastConfiguration& configuration, QWidget* parent)> makeBody;
};
