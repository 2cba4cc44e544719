#pragma once

#include "toasts/ToastDuration.h"
#include "toasts/ToastRole.h"

#include <functional>

class QWidget;

// Builds a toast's content widget under the given parent. Copies of a toast
// share it; it runs on the main thread each time the toast is shown.
using ToastContentBuilder = std::function<QWidget*(QWidget* parent)>;

// What a toast shows and for how long.
struct ToastConfiguration {
    ToastRole role = ToastRole::plain;
    ToastDuration duration = ToastDuration::mediumDuration();
    ToastContentBuilder content;
};
