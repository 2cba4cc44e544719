#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace platform_detail {
class ChangeSignal : public QObject {
    Q_OBJECT
signals:
    void changed();
};
} // namespace platform_detail

// A two-way reference to a value owned elsewhere (usually a property of a
// QObject). Reads and writes do nothing once the owner has gone. A binding
// made with its owner's change signal also tells when the value changes.
template <typename T>
class Binding {
public:
    // Connects a change callback in `context`; returns the connection.
    using Observe = std::function<QMetaObject::Connection(const QObject* context, std::function<void()> onChange)>;

    Binding() = default;
    Binding(std::function<T()> getter, std::function<void(T)> setter, Observe observe = {})
        : m_get(std::move(getter))
        , m_set(std::move(setter))
        , m_observe(std::move(observe))
    {
    }

    // Binds to a getter/setter pair of `owner`, guarded by a QPointer.
    template <typename Owner>
    static Binding of(Owner* owner, T (Owner::*getter)() const, void (Owner::*setter)(T))
    {
        QPointer<Owner> guard(owner);
        return Binding([guard, getter]() { return guard ? (guard.data()->*getter)() : T{}; },
                       [guard, setter](T value) {
                           if (guard)
                               (guard.data()->*setter)(std::move(value));
                       });
    }

    // The same, with the owner's change signal (any arguments are ignored).
    template <typename Owner, typename... SignalArgs>
    static Binding of(Owner* owner, T (Owner::*getter)() const, void (Owner::*setter)(T),
                      void (Owner::*changed)(SignalArgs...))
    {
        Binding binding = of(owner, getter, setter);
        QPointer<Owner> guard(owner);
        binding.m_observe = [guard, changed](const QObject* context, std::function<void()> onChange) {
            if (!guard)
                return QMetaObject::Connection();
            return QObject::connect(guard.data(), changed, context, [onChange](SignalArgs...) { onChange(); });
        };
        return binding;
    }

    // A binding to a constant: writes are ignored, nothing ever changes.
    static Binding constant(T value)
    {
        return Binding([value] { return value; }, [](T) {});
    }

    T get() const { return m_get ? m_get() : T{}; }
    void set(T value) const
    {
        if (m_set)
            m_set(std::move(value));
    }
    bool isValid() const { return static_cast<bool>(m_get); }
    bool canObserve() const { return static_cast<bool>(m_observe); }

    // Calls `onChange` (in `context`) after each change of the bound value.
    QMetaObject::Connection onChange(const QObject* context, std::function<void()> onChange) const
    {
        return m_observe ? m_observe(context, std::move(onChange)) : QMetaObject::Connection();
    }

    // A binding that reads and writes through this one with conversions,
    // keeping its change signal.
    template <typename U>
    Binding<U> transform(std::function<U(const T&)> to, std::function<T(const U&)> from) const
    {
        Binding self = *this;
        return Binding<U>([self, to] { return to(self.get()); }, [self, from](U value) { self.set(from(value)); },
                          m_observe);
    }

private:
    std::function<T()> m_get;
    std::function<void(T)> m_set;
    Observe m_observe;
};

// A value owned by a view (its state), with a change signal: the source of
// bindings that notify. Setting an equal value changes nothing. Main thread.
template <typename T>
class ObservableValue {
public:
    explicit ObservableValue(T initial = T{})
        : m_state(std::make_shared<State>(std::move(initial)))
    {
    }
    ObservableValue(const ObservableValue&) = delete;
    ObservableValue& operator=(const ObservableValue&) = delete;

    const T& value() const { return m_state->value; }
    void set(T value)
    {
        if (m_state->value == value)
            return;
        m_state->value = std::move(value);
        emit m_state->signal.changed();
    }
    const platform_detail::ChangeSignal* notifier() const { return &m_state->signal; }

    // Bindings outlive the value safely: once it has gone they read T{} and
    // ignore writes.
    Binding<T> binding() const
    {
        std::weak_ptr<State> weak = m_state;
        return Binding<T>(
            [weak] {
                auto state = weak.lock();
                return state ? state->value : T{};
            },
            [weak](T value) {
                if (auto state = weak.lock(); state && !(state->value == value)) {
                    state->value = std::move(value);
                    emit state->signal.changed();
                }
            },
            [weak](const QObject* context, std::function<void()> onChange) {
                auto state = weak.lock();
                if (!state)
                    return QMetaObject::Connection();
                return QObject::connect(&state->signal, &platform_detail::ChangeSignal::changed, context,
                                        [onChange] { onChange(); });
            });
    }

private:
    struct State {
        explicit State(T initial)
            : value(std::move(initial))
        {
        }
        T value;
        platform_detail::ChangeSignal signal;
    };
    std::shared_ptr<State> m_state;
};
