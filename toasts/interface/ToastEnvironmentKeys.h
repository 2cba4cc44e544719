#pragma once

#include "toasts/styles/AnyToastStyle.h"
#include "toasts/values/ToastAlignment.h"
#include "toasts/engine/ToastCancellation.h"
#include "toasts/values/ToastDismissAction.h"
#include "toasts/interface/ToastPresentationInvalidationOptions.h"
#include "toasts/presenters/ToastPresenterProxy.h"
#include "toasts/animation/ToastTransition.h"

#include "platform/Environment.h"

#include <optional>

class QWidget;

// The toast environment values, each behind its key, and the functions that
// set them on a widget's subtree. Main thread.

struct ToastCancellationEnvironmentKey {
    static const EnvironmentKey<ToastCancellation>& key(); // automatic
};
struct ToastDismissEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastDismissAction>>& key(); // none
};
struct ToastInteractiveDismissEnabledEnvironmentKey {
    static const EnvironmentKey<bool>& key(); // true
};
struct ToastOrnamentPresentationEnvironmentKey {
    static const EnvironmentKey<bool>& key(); // false
};
struct ToastPresentationInvalidationOptionsEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastPresentationInvalidationOptions>>& key(); // none
};
struct ToastPresentedAlignmentEnvironmentKey {
    static const EnvironmentKey<std::optional<ToastAlignment>>& key(); // none
};
struct ToastPresenterEnvironmentKey {
    // Default: a proxy of the default presenting window, prepared for toasts.
    static const EnvironmentKey<ToastPresenterProxy>& key();
    // The last visible top-level window of normal level that is or can become
    // the main window; null when there is none.
    static QWidget* defaultPresentingWindow();
    // The presenter of a window, or null when the window cannot show toasts.
    static ToastPresenting* windowPresenter(QWidget* window);
};
struct ToastTransitionEnvironmentKey {
    static const EnvironmentKey<ToastTransition>& key(); // defaultTransition()
};
struct ToastStyleEnvironmentKey {
    // The plain style; styles have no equality, so every write is a change.
    static const EnvironmentKey<AnyToastStyle>& key();
};

void toastCancellation(QWidget* widget, ToastCancellation cancellation);
void toastInteractiveDismissDisabled(QWidget* widget, bool disabled);
void toastPresentationInvalidation(QWidget* widget, std::optional<ToastPresentationInvalidationOptions> options);
void toastTransition(QWidget* widget, ToastTransition transition);
void toastStyle(QWidget* widget, AnyToastStyle style);
void toastPresenter(QWidget* widget, ToastPresenterProxy proxy);
