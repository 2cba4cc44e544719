#pragma once

#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QUuid>

#include <functional>
#include <memory>

// Turns every property-change signal of an object into one callback.
class ObservableChangeRelay : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Stops relaying the previous object's changes and relays `object`'s.
    void observe(QObject* object);
    void setCallback(std::function<void()> callback) { m_callback = std::move(callback); }

public slots:
    void relay();

private:
    QList<QMetaObject::Connection> m_connections;
    std::function<void()> m_callback = [] {};
};

// An object a view owns for as long as it lives: made by the provider on
// first use (a read or an update, whichever comes first), not before, and
// made anew only when the namespace changes. Each change announced by one of
// the object's notifying properties reaches the view through the callback
// installed by the latest update(). Lives on the main thread with its view.
template <typename T>
class FallbackStateObject {
    static_assert(std::is_base_of_v<QObject, T>, "the kept object announces its changes through Qt signals");

public:
    explicit FallbackStateObject(std::function<std::unique_ptr<T>()> provider)
        : m_namespace(QUuid::createUuid())
        , m_provider(std::move(provider))
        , m_relay(std::make_unique<ObservableChangeRelay>())
    {
    }

    T* wrappedValue()
    {
        if (!m_value)
            m_value = makeValue();
        return m_value.get();
    }

    // Run before the view draws from the object; `onChange` is what a change
    // of the object does to the view (a repaint, a rebuild).
    void update(const QUuid& identity, std::function<void()> onChange)
    {
        if (identity != m_namespace) {
            m_namespace = identity;
            m_value = makeValue();
        } else if (!m_value) {
            m_value = makeValue();
        }
        m_relay->setCallback(onChange ? std::move(onChange) : [] {});
    }
    void update(std::function<void()> onChange) { update(m_namespace, std::move(onChange)); }

    const QUuid& identity() const { return m_namespace; }

private:
    std::unique_ptr<T> makeValue()
    {
        std::unique_ptr<T> value = m_provider ? m_provider() : nullptr;
        m_relay->observe(value.get());
        return value;
    }

    QUuid m_namespace;
    std::function<std::unique_ptr<T>()> m_provider;
    // Declared before the value, so it goes after it and never relays from
    // a half-destroyed object.
    std::unique_ptr<ObservableChangeRelay> m_relay;
    std::unique_ptr<T> m_value;
};
