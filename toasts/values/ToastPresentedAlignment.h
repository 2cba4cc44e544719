#pragma once

#include "toasts/values/ToastAlignment.h"

#include <optional>

class QWidget;

// Whether a toast is presented centred: its presented alignment is present
// and pins it to no edge or to all four. Absent counts as not centred.
bool isCentredPresentation(const std::optional<ToastAlignment>& alignment);
// The same, read from the toast's environment at `widget`.
bool isCentredPresentation(const QWidget* widget);
