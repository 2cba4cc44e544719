#pragma once

#include "platform/Appearance.h"
#include "platform/Presentation.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

// A value a view keeps like its own state, but tied to the presentation
// that shows the view: once the view has been seen presented and that
// presentation ends, the value is dropped one event-loop turn later (so not
// in the middle of the hide), and the next read makes a fresh one; while
// the view stays out of its ended presentation, each update() drops such a
// fresh value again. In a view that is never presented the value lives as
// long as the view. Dropping a set of cancellation handles cancels what they
// guard. Each showing of the view runs update(), as does its owner on each
// change of what it watches: the moments the owner is evaluated. Main thread.
template <typename T>
class PresentationBoundState {
public:
    PresentationBoundState(QWidget* view, std::function<T()> provider)
        : m_view(view)
        , m_observer(new PresentationObserver(view))
        , m_provider(std::move(provider))
    {
        QObject::connect(m_observer, &PresentationObserver::presentationEnded, m_observer, [this] { dropLater(); });
        auto* appearance = new AppearanceObserver(view, m_observer);
        QObject::connect(appearance, &AppearanceObserver::appeared, m_observer, [this] { update(); });
    }
    ~PresentationBoundState() { delete m_observer.data(); }

    PresentationBoundState(const PresentationBoundState&) = delete;
    PresentationBoundState& operator=(const PresentationBoundState&) = delete;

    // Notes whether the view sits in a presented sheet, then returns the
    // value, made by the provider when none is held.
    T& wrappedValue()
    {
        note();
        if (!m_value)
            m_value.emplace(m_provider());
        return *m_value;
    }
    // Replaces the value.
    void setWrappedValue(T value) { m_value = std::move(value); }

    bool hasValue() const { return m_value.has_value(); }
    bool wasPresented() const { return m_wasPresented; }

    // Notes the view's presentation and makes sure a value is held while the
    // view is not in a presentation that has ended; in one that has ended,
    // a value made since (by a read) is dropped one turn later.
    void update()
    {
        if (note() || !m_wasPresented) {
            if (!m_value)
                m_value.emplace(m_provider());
        } else if (m_value) {
            dropLater();
        }
    }

private:
    bool note()
    {
        const bool presented = m_observer && m_observer->note();
        m_wasPresented = m_wasPresented || presented;
        return presented;
    }
    void dropLater()
    {
        if (!m_observer)
            return;
        QPointer<PresentationObserver> guard(m_observer);
        QMetaObject::invokeMethod(
            m_observer.data(),
            [this, guard] {
                if (guard && !Presentation::isPresented(m_view))
                    m_value.reset();
            },
            Qt::QueuedConnection);
    }

    QPointer<QWidget> m_view;
    QPointer<PresentationObserver> m_observer;
    std::function<T()> m_provider;
    std::optional<T> m_value;
    bool m_wasPresented = false;
};
