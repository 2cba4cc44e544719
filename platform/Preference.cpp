#include "platform/Preference.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform_detail {
PreferenceStore::~PreferenceStore()
{
    // Its widget is being torn down: the ancestors recheck once it has gone.
    QList<QByteArray> channels;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        channels.append(Preferences::channelFor(it.key()));
    if (channels.isEmpty() || !QCoreApplication::instance())
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [channels] {
            for (const QByteArray& channel : channels)
                notifyKeyChanged(channel);
        },
        Qt::QueuedConnection);
}

PreferenceStore* preferenceStore(const QWidget* widget, bool create)
{
    if (!widget)
        return nullptr;
    auto* store = widget->findChild<PreferenceStore*>(QString(), Qt::FindDirectChildrenOnly);
    if (!store && create)
        store = new PreferenceStore(const_cast<QWidget*>(widget));
    return store;
}

void forEachInSubtree(const QWidget* root, const std::function<void(const QWidget*)>& visit)
{
    if (!root)
        return;
    visit(root);
    for (QObject* child : root->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        // Reports stay inside their window.
        if (widget && !widget->isWindow())
            forEachInSubtree(widget, visit);
    }
}
} // namespace platform_detail
