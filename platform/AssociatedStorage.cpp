#include "platform/AssociatedStorage.h"

namespace platform_detail {
AssociatedStore* associatedStore(const QObject* owner, bool create)
{
    if (!owner)
        return nullptr;
    auto* store = owner->findChild<AssociatedStore*>(QString(), Qt::FindDirectChildrenOnly);
    if (!store && create)
        store = new AssociatedStore(const_cast<QObject*>(owner));
    return store;
}
} // namespace platform_detail
