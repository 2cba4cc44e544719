#include "toasts/presenters/DefaultPresentingWindow.h"

#include "toasts/presenters/WindowToastPresenter.h"

#include "platform/ApplicationEventRelay.h"
#include "platform/WindowHierarchy.h"
#include "platform/WindowLevel.h"

#include <QWidget>

QWidget* defaultPresentingWindow()
{
    QWidget* chosen = nullptr;
    QWidget* main = ApplicationEventRelay::instance()->mainWindow();
    for (QWidget* window : WindowHierarchy::applicationWindows()) {
        if (WindowLevel::of(window) != WindowLevel::normal)
            continue;
        if (window != main && !WindowHierarchy::canBecomeMain(window))
            continue;
        if (!WindowHierarchy::isVisible(window))
            continue;
        chosen = window;
    }
    return chosen;
}

ToastPresenting* defaultToastPresenter()
{
    QWidget* window = defaultPresentingWindow();
    return window ? WindowToastPresenter::of(window) : nullptr;
}
