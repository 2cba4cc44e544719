// Temporary stand-ins until the window presenter is in place: the default
// window is chosen here; no window presents toasts yet.
#include "toasts/ToastEnvironmentKeys.h"

#include <QApplication>
#include <QWidget>

QWidget* ToastPresenterEnvironmentKey::defaultPresentingWindow()
{
    QWidget* chosen = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const bool normalLevel = !(window->windowFlags() & (Qt::Popup | Qt::ToolTip | Qt::Tool | Qt::SplashScreen))
            && !window->isModal() && !(window->windowFlags() & Qt::WindowStaysOnTopHint);
        if (window->isWindow() && window->isVisible() && normalLevel && !window->parentWidget())
            chosen = window;
    }
    return chosen;
}

ToastPresenting* ToastPresenterEnvironmentKey::windowPresenter(QWidget*)
{
    return nullptr;
}
