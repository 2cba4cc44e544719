#include "platform/WindowChrome.h"

#include "platform/AssociatedStorage.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {
const AssociatedProperty<QPointer<QWidget>>& topChromeEdge()
{
    static const AssociatedProperty<QPointer<QWidget>> property("platform.topChromeEdge");
    return property;
}
} // namespace

namespace WindowChrome {

void setTopChromeEdge(QWidget* window, QWidget* edge)
{
    topChromeEdge().set(window, QPointer<QWidget>(edge));
}

int topChromeHeight(const QWidget* window)
{
    const QPointer<QWidget> edge = topChromeEdge().value(window, nullptr);
    if (!edge || edge->isHidden() || !window->isAncestorOf(edge))
        return 0;
    return std::max(0, edge->mapTo(window, QPoint(0, edge->height())).y());
}

} // namespace WindowChrome
