#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

// A two-way reference to a value owned elsewhere (usually a property of a
// QObject). Reads and writes do nothing once the owner has gone.
template <typename T>
class Binding {
public:
    Binding() = default;
    Binding(std::function<T()> getter, std::function<void(T)> setter)
        : m_get(std::move(getter))
        , m_set(std::move(setter))
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

    // A binding to a constant: writes are ignored.
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

private:
    std::function<T()> m_get;
    std::function<void(T)> m_set;
};
