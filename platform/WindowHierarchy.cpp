#include "platform/WindowHierarchy.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace WindowHierarchy {

QWidget* parentWindow(const QWidget* window)
{
    if (!window)
        return nullptr;
    QWidget* parent = window->window()->parentWidget();
    return parent ? parent->window() : nullptr;
}

QList<QWidget*> applicationWindows()
{
    // Qt lists native windows newest first; reversing gives creation order.
    const QWindowList nativeWindows = QGuiApplication::allWindows();
    QHash<const QWindow*, qsizetype> creationIndex;
    for (qsizetype i = 0; i < nativeWindows.size(); ++i)
        creationIndex.insert(nativeWindows.at(i), nativeWindows.size() - 1 - i);

    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowType() != Qt::Desktop)
            windows.append(widget);
    }
    const auto rank = [&creationIndex](const QWidget* widget) {
        const QWindow* handle = widget->windowHandle();
        return handle ? creationIndex.value(handle, creationIndex.size()) : creationIndex.size();
    };
    std::stable_sort(
        windows.begin(), windows.end(), [&rank](const QWidget* a, const QWidget* b) { return rank(a) < rank(b); });
    return windows;
}

QList<QWidget*> childWindows(const QWidget* window)
{
    QList<QWidget*> children;
    if (!window)
        return children;
    for (QWidget* candidate : applicationWindows()) {
        if (candidate != window && parentWindow(candidate) == window)
            children.append(candidate);
    }
    return children;
}

bool isSheet(const QWidget* window)
{
    if (!window || !window->isWindow())
        return false;
    if (window->windowType() == Qt::Sheet)
        return true;
    return window->windowModality() == Qt::WindowModal && parentWindow(window) != nullptr;
}

QList<QWidget*> sheets(const QWidget* window)
{
    QList<QWidget*> result;
    for (QWidget* child : childWindows(window)) {
        if (isSheet(child) && child->isVisible())
            result.append(child);
    }
    return result;
}

QWidget* attachedSheet(const QWidget* window)
{
    const QList<QWidget*> shown = sheets(window);
    return shown.isEmpty() ? nullptr : shown.last();
}

bool isOutOfSight(const QWidget* window)
{
    if (!window)
        return true;
    const QWidget* top = window->window();
    return !top->isVisible() || top->isMinimized();
}

bool isVisible(const QWidget* window)
{
    return window && window->isVisible() && !window->window()->isMinimized();
}

bool canBecomeMain(const QWidget* window)
{
    if (!window || !window->isWindow() || isSheet(window))
        return false;
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::Tool:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
        return false;
    default:
        return true;
    }
}

QWidget* mainWindowFor(QWidget* window)
{
    QWidget* current = window ? window->window() : nullptr;
    while (current && isSheet(current)) {
        QWidget* parent = parentWindow(current);
        if (!parent || parent == current)
            break;
        current = parent;
    }
    return current;
}

} // namespace WindowHierarchy
