#pragma once

#include "platform/Presentation.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

// A value kept for a widget's helper, made on first read, that also goes when
// the presentation (sheet) the widget was seen in is dismissed: it is
// dropped on the main thread's next turn, and the next read makes a new one.
// It goes with the helper in any case. Main thread.
template <typename T>
class ViewBoundState {
public:
    ViewBoundState(QWidget* view, QObject* owner, std::function<std::shared_ptr<T>()> provider)
        : m_provider(std::move(provider))
        , m_observer(new PresentationObserver(view, owner))
    {
        m_guard = std::make_shared<int>(0);
        std::weak_ptr<int> alive = m_guard;
        QObject::connect(m_observer, &PresentationObserver::presentationEnded, m_observer, [this, alive] {
            QMetaObject::invokeMethod(
                m_observer,
                [this, alive] {
                    if (!alive.expired())
                        m_value.reset();
                },
                Qt::QueuedConnection);
        });
    }
    ViewBoundState(const ViewBoundState&) = delete;
    ViewBoundState& operator=(const ViewBoundState&) = delete;

    // Notes whether the view sits in a presented sheet, then returns the value.
    const std::shared_ptr<T>& value()
    {
        if (m_observer)
            m_observer->note();
        if (!m_value)
            m_value = m_provider();
        return m_value;
    }
    bool holdsValue() const { return static_cast<bool>(m_value); }

private:
    std::function<std::shared_ptr<T>()> m_provider;
    QPointer<PresentationObserver> m_observer;
    std::shared_ptr<T> m_value;
    std::shared_ptr<int> m_guard;
};
