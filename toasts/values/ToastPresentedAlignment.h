#pragma once

#include "toasts/values/ToastAlignment.h"

#include "platform/Environment.h"

#include <optional>

class QWidget;

// The alignment the toast a widget is part of is presented with; none
// outside a toast.
struct ToastPresentedAlignmentEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastAlignment>>& key();
};

// Whether a toast is presented centred: its presented alignment is present
// and pins it to no edge or to all four. Absent counts as not centred.
bool isCentredPresentation(const std::optional<ToastAlignment>& alignment);
// The same, read from the toast's environment at `widget`.
bool isCentredPresentation(const QWidget* widget);
