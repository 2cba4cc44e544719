#include "platform/Environment.h"

#include <QEvent>

namespace platform_detail {
namespace {
QHash<QByteArray, QList<KeyWatcher*>>& watchers()
{
    static QHash<QByteArray, QList<KeyWatcher*>> all;
    return all;
}

// Reads walk every ancestor on each read, so stores are found by a hash
// lookup rather than by searching each widget's children.
QHash<const QWidget*, EnvironmentStore*>& stores()
{
    static QHash<const QWidget*, EnvironmentStore*> all;
    return all;
}
} // namespace

EnvironmentStore::EnvironmentStore(QWidget* owner)
    : QObject(owner)
    , m_owner(owner)
{
    stores().insert(owner, this);
}

EnvironmentStore::~EnvironmentStore()
{
    stores().remove(m_owner);
}

EnvironmentStore* environmentStore(const QWidget* widget, bool create)
{
    if (!widget)
        return nullptr;
    EnvironmentStore* store = stores().value(widget);
    if (!store && create)
        store = new EnvironmentStore(const_cast<QWidget*>(widget));
    return store;
}

KeyWatcher::KeyWatcher(QByteArray channel, QWidget* widget, QObject* context, std::function<void()> recheck)
    : QObject(context)
    , m_channel(std::move(channel))
    , m_widget(widget)
    , m_recheck(std::move(recheck))
{
    watchers()[m_channel].append(this);
    if (widget) {
        widget->installEventFilter(this);
        connect(widget, &QObject::destroyed, this, &QObject::deleteLater);
    }
}

KeyWatcher::~KeyWatcher()
{
    auto it = watchers().find(m_channel);
    if (it != watchers().end()) {
        it->removeOne(this);
        if (it->isEmpty())
            watchers().erase(it);
    }
}

bool KeyWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_widget && event->type() == QEvent::ParentChange)
        recheck();
    return QObject::eventFilter(watched, event);
}

void notifyKeyChanged(const QByteArray& channel)
{
    // Guarded copies: a callback may delete watchers, its own included.
    QList<QPointer<KeyWatcher>> current;
    for (KeyWatcher* watcher : watchers().value(channel))
        current.append(watcher);
    for (const QPointer<KeyWatcher>& watcher : current) {
        if (watcher)
            watcher->recheck();
    }
}
} // namespace platform_detail
