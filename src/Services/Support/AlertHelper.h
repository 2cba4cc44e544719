#pragma once

#include "toasts/values/Toast.h"

#include <QString>

// Ready-made toasts for common outcomes. Nothing in the application raises
// them yet; they exist so that a screen can report success, failure, a lost
// network or a running task in one line. Main thread.
class AlertHelper {
public:
    AlertHelper() = default;

    // "checkmark.circle", success, 2 seconds.
    static Toast successToast(const QString& title);
    // "xmark.circle", failure, 2 seconds.
    static Toast failureToast(const QString& title);
    // "network.slash", warning, 2 seconds.
    static Toast networkWarningToast(const QString& title);
    // The given symbol and role, 2 seconds.
    static Toast toast(const QString& title, const QString& systemImage, ToastRole role);
    // A spinning progress indicator beside the title (shown verbatim),
    // informational, 4 seconds.
    static Toast loadingToast(const QString& title);
};
