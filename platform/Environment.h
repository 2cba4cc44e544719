#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <any>
#include <concepts>
#include <functional>
#include <optional>

// A key of an environment value: a name, the value read where no ancestor
// set one (computed each time it is read), and how two values compare when
// deciding whether a change is worth telling (operator== when left empty and
// the type has one; otherwise every write counts as a change).
template <typename T>
struct EnvironmentKey {
    QByteArray name;
    std::function<T()> defaultValue;
    std::function<bool(const T&, const T&)> equal = {};

    bool same(const T& a, const T& b) const
    {
        if (equal)
            return equal(a, b);
        if constexpr (std::equality_comparable<T>)
            return a == b;
        else
            return false;
    }
};

namespace platform_detail {
// Per-widget storage of the values set on that widget.
class EnvironmentStore : public QObject {
    Q_OBJECT
public:
    explicit EnvironmentStore(QWidget* owner);
    ~EnvironmentStore() override;
    QHash<QByteArray, std::any> values;
signals:
    void valueChanged(const QByteArray& name);

private:
    const QWidget* m_owner;
};
EnvironmentStore* environmentStore(const QWidget* widget, bool create);

// One watcher of the value a key has at one widget. Rechecks when any widget
// sets or clears that key and when the widget moves to another parent.
class KeyWatcher : public QObject {
    Q_OBJECT
public:
    KeyWatcher(QByteArray channel, QWidget* widget, QObject* context, std::function<void()> recheck);
    ~KeyWatcher() override;
    void recheck()
    {
        if (m_widget && m_recheck)
            m_recheck();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QByteArray m_channel;
    QPointer<QWidget> m_widget;
    std::function<void()> m_recheck;
};
// Tells every watcher of the channel to recheck.
void notifyKeyChanged(const QByteArray& channel);
} // namespace platform_detail

// Environment values flow down the widget tree: a value set on a widget is
// seen by it and every descendant (a dialog sees its owner's), until another
// widget below sets the same key. Main thread only.
namespace Environment {

inline QByteArray channelFor(const QByteArray& name)
{
    return QByteArrayLiteral("env:") + name;
}

template <typename T>
void set(QWidget* widget, const EnvironmentKey<T>& key, T value)
{
    auto* store = platform_detail::environmentStore(widget, true);
    store->values.insert(key.name, std::any(std::move(value)));
    emit store->valueChanged(key.name);
    platform_detail::notifyKeyChanged(channelFor(key.name));
}

template <typename T>
void clear(QWidget* widget, const EnvironmentKey<T>& key)
{
    auto* store = platform_detail::environmentStore(widget, false);
    if (!store || !store->values.remove(key.name))
        return;
    emit store->valueChanged(key.name);
    platform_detail::notifyKeyChanged(channelFor(key.name));
}

// The value set on the widget or the nearest widget above it that sets the
// key; none where no widget does (the key's default is not consulted).
template <typename T>
std::optional<T> find(const QWidget* widget, const EnvironmentKey<T>& key)
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
    return std::nullopt;
}

template <typename T>
T get(const QWidget* widget, const EnvironmentKey<T>& key)
{
    if (std::optional<T> value = find(widget, key))
        return std::move(*value);
    if constexpr (std::default_initializable<T>) {
        if (!key.defaultValue)
            return T{};
    }
    return key.defaultValue();
}

// Calls `onChange` with the new effective value at `widget` whenever it
// changes by the key's equality (a write above or on the widget, a clear, a
// move to another parent). The watch ends with `context` or `widget`, or when
// the returned object is deleted.
template <typename T>
QObject* observe(QWidget* widget, const EnvironmentKey<T>& key, QObject* context, std::function<void(const T&)> onChange)
{
    auto last = std::make_shared<T>(get(widget, key));
    QPointer<QWidget> guard(widget);
    return new platform_detail::KeyWatcher(channelFor(key.name), widget, context, [guard, key, last, onChange] {
        T now = get(guard.data(), key);
        if (key.same(*last, now))
            return;
        *last = now;
        onChange(now);
    });
}

} // namespace Environment
