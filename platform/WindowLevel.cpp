#include "platform/WindowLevel.h"

#include "platform/AssociatedStorage.h"

#include <QWidget>

namespace {
const AssociatedProperty<int>& overrideProperty()
{
    static const AssociatedProperty<int> property("platform.windowLevelOverride");
    return property;
}

const QWidget* windowOf(const QWidget* widget)
{
    return widget ? widget->window() : nullptr;
}
} // namespace

namespace WindowLevel {

int derived(const QWidget* widget)
{
    const QWidget* window = windowOf(widget);
    if (!window)
        return normal;
    switch (window->windowType()) {
    case Qt::Popup:
        return popUpMenu;
    case Qt::ToolTip:
    case Qt::SplashScreen:
        return status;
    default:
        break;
    }
    if (window->windowModality() == Qt::ApplicationModal)
        return modalPanel;
    if (window->windowType() == Qt::Tool || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return floating;
    return normal;
}

int of(const QWidget* widget)
{
    const QWidget* window = windowOf(widget);
    if (!window)
        return normal;
    if (auto level = overrideProperty().get(window))
        return *level;
    return derived(window);
}

void setOverride(QWidget* window, int level)
{
    if (window)
        overrideProperty().set(window->window(), level);
}

void clearOverride(QWidget* window)
{
    if (window)
        overrideProperty().remove(window->window());
}

} // namespace WindowLevel
