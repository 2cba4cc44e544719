#include "platform/Environment.h"

namespace platform_detail {
EnvironmentStore* environmentStore(const QWidget* widget, bool create)
{
    if (!widget)
        return nullptr;
    auto* store = widget->findChild<EnvironmentStore*>(QString(), Qt::FindDirectChildrenOnly);
    if (!store && create)
        store = new EnvironmentStore(const_cast<QWidget*>(widget));
    return store;
}
} // namespace platform_detail
