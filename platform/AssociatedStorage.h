#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <any>
#include <optional>
#include <utility>

namespace platform_detail {
// The one store an object carries. It is a child of the object, so its entries
// are destroyed together with the object.
class AssociatedStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QHash<QByteArray, std::any> entries;
};

AssociatedStore* associatedStore(const QObject* owner, bool create);
} // namespace platform_detail

// A typed slot in the storage that any QObject (a window, a view, a layer) can
// carry for code that does not own the object: the toast engine keeps a
// window's scheduler there, or a view's running animation. Each property has
// its own key; an entry stored under that key with another type reads as
// absent and is replaced by the next write. Main thread only.
template <typename T>
class AssociatedProperty {
public:
    explicit AssociatedProperty(QByteArray key)
        : m_key(std::move(key))
    {
    }

    const QByteArray& key() const { return m_key; }

    std::optional<T> get(const QObject* owner) const
    {
        if (const T* value = find(owner))
            return *value;
        return std::nullopt;
    }

    T value(const QObject* owner, T fallback) const
    {
        if (const T* value = find(owner))
            return *value;
        return fallback;
    }

    bool contains(const QObject* owner) const { return find(owner) != nullptr; }

    // Stores the value, or removes the entry when given nothing. Other entries
    // of the object stay as they are.
    void set(QObject* owner, std::optional<T> value) const
    {
        if (!owner)
            return;
        if (!value) {
            remove(owner);
            return;
        }
        auto* store = platform_detail::associatedStore(owner, true);
        store->entries.insert(m_key, std::any(std::move(*value)));
    }

    void remove(QObject* owner) const
    {
        if (auto* store = platform_detail::associatedStore(owner, false))
            store->entries.remove(m_key);
    }

private:
    const T* find(const QObject* owner) const
    {
        auto* store = platform_detail::associatedStore(owner, false);
        if (!store)
            return nullptr;
        auto it = store->entries.constFind(m_key);
        if (it == store->entries.constEnd())
            return nullptr;
        return std::any_cast<T>(&it.value());
    }

    QByteArray m_key;
};
