#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QWidget>

#include <any>
#include <functional>

// A key of an environment value: a name and the value read where no ancestor
// set one. The default is computed each time it is read.
template <typename T>
struct EnvironmentKey {
    QByteArray name;
    std::function<T()> defaultValue;
};

namespace platform_detail {
// Per-widget storage of the values set on that widget.
class EnvironmentStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QHash<QByteArray, std::any> values;
signals:
    void valueChanged(const QByteArray& name);
};
EnvironmentStore* environmentStore(const QWidget* widget, bool create);
} // namespace platform_detail

// Environment values flow down the widget tree: a value set on a widget is
// seen by it and every descendant (a dialog sees its owner's), until another
// widget below sets the same key.
namespace Environment {

template <typename T>
void set(QWidget* widget, const EnvironmentKey<T>& key, T value)
{
    auto* store = platform_detail::environmentStore(widget, true);
    store->values.insert(key.name, std::any(std::move(value)));
    emit store->valueChanged(key.name);
}

template <typename T>
void clear(QWidget* widget, const EnvironmentKey<T>& key)
{
    if (auto* store = platform_detail::environmentStore(widget, false))
        store->values.remove(key.name);
}

template <typename T>
T get(const QWidget* widget, const EnvironmentKey<T>& key)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        auto* store = platform_detail::environmentStore(w, false);
        if (!store)
            continue;
        auto it = store->values.constFind(key.name);
        if (it == store->values.constEnd())
            continue;
        // A value of another type under the same name counts as absent.
        if (const T* value = std::any_cast<T>(&it.value()))
            return *value;
    }
    return key.defaultValue ? key.defaultValue() : T{};
}

} // namespace Environment
