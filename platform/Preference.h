#pragma once

#include "platform/Environment.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QWidget>

#include <any>
#include <functional>

// A key of a preference: a value that widgets report up to their ancestors.
// An ancestor sees its subtree's reports folded into one, in tree order,
// starting from the default: `reduce(accumulated, next)`.
template <typename T>
struct PreferenceKey {
    QByteArray name;
    std::function<T()> defaultValue;
    std::function<void(T& accumulated, const T& next)> reduce;
    std::function<bool(const T&, const T&)> equal = {};
};

namespace platform_detail {
class PreferenceStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PreferenceStore() override;
    QHash<QByteArray, std::any> values;
};
PreferenceStore* preferenceStore(const QWidget* widget, bool create);
// Visits `root` and its descendants within the same window, in tree order.
void forEachInSubtree(const QWidget* root, const std::function<void(const QWidget*)>& visit);
} // namespace platform_detail

// Main thread only.
namespace Preferences {

inline QByteArray channelFor(const QByteArray& name)
{
    return QByteArrayLiteral("pref:") + name;
}

template <typename T>
void set(QWidget* widget, const PreferenceKey<T>& key, T value)
{
    platform_detail::preferenceStore(widget, true)->values.insert(key.name, std::any(std::move(value)));
    platform_detail::notifyKeyChanged(channelFor(key.name));
}

template <typename T>
void clear(QWidget* widget, const PreferenceKey<T>& key)
{
    auto* store = platform_detail::preferenceStore(widget, false);
    if (store && store->values.remove(key.name))
        platform_detail::notifyKeyChanged(channelFor(key.name));
}

// The reports of `widget` and everything below it in its window, reduced.
template <typename T>
T value(const QWidget* widget, const PreferenceKey<T>& key)
{
    T accumulated = key.defaultValue ? key.defaultValue() : T{};
    platform_detail::forEachInSubtree(widget, [&](const QWidget* w) {
        auto* store = platform_detail::preferenceStore(w, false);
        if (!store)
            return;
        auto it = store->values.constFind(key.name);
        if (it == store->values.constEnd())
            return;
        if (const T* reported = std::any_cast<T>(&it.value())) {
            if (key.reduce)
                key.reduce(accumulated, *reported);
            else
                accumulated = *reported;
        }
    });
    return accumulated;
}

// Calls `onChange` with the reduced value whenever it changes.
template <typename T>
QObject* observe(QWidget* widget, const PreferenceKey<T>& key, QObject* context, std::function<void(const T&)> onChange)
{
    auto last = std::make_shared<T>(value(widget, key));
    QPointer<QWidget> guard(widget);
    return new platform_detail::KeyWatcher(channelFor(key.name), widget, context, [guard, key, last, onChange] {
        if (!guard)
            return;
        T now = value(guard.data(), key);
        const bool same = key.equal ? key.equal(*last, now) : EnvironmentKey<T>{}.same(*last, now);
        if (same)
            return;
        *last = now;
        onChange(now);
    });
}

} // namespace Preferences
