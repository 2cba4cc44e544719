#pragma once

#include "platform/ViewTask.h"

#include <QObject>
#include <QPainterPath>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <optional>

class QWidget;

// Small view modifiers the toast views share, over Qt's show, hide and hover
// events. Each is attached to its widget and goes with it. Main thread only.

// Calls the action with each new value that differs from the last one seen;
// never for the first value.
template <typename Value>
class OnChangeFallbackModifier {
public:
    OnChangeFallbackModifier(Value initial, std::function<void(const Value&)> action)
        : m_latestValue(std::move(initial))
        , m_action(std::move(action))
    {
    }

    // Feeds the watched value, as the view has it now.
    void setValue(const Value& value)
    {
        if (value == m_latestValue)
            return;
        m_latestValue = value;
        if (m_action)
            m_action(m_latestValue);
    }
    const Value& latestValue() const { return m_latestValue; }

private:
    Value m_latestValue;
    std::function<void(const Value&)> m_action;
};

// The platform's task priorities; kept and handed on, with no effect here.
enum class TaskPriority {
    high,
    medium,
    low,
    userInitiated,
    utility,
    background,
};

// Runs `action` while `view` is shown: started when it appears, cancelled
// when it disappears, started afresh when it appears again.
ViewTask* taskFallback(QWidget* view, TaskPriority priority, ViewTask::Action action);

// As above, and cancelled and started again whenever the id changes (through
// the returned task's setId()).
ViewTask* taskFallback(QWidget* view, const QVariant& id, TaskPriority priority, ViewTask::Action action);

// Tells `action` true when the pointer enters the widget, false when it leaves.
class OnHoverFallbackModifier : public QObject {
    Q_OBJECT
public:
    OnHoverFallbackModifier(QWidget* view, std::function<void(bool hovering)> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(bool)> m_action;
};

// A shape made of the path it gives for a rectangle.
class FallbackAnyShape {
public:
    using PathFunction = std::function<QPainterPath(const QRectF& rect)>;

    explicit FallbackAnyShape(PathFunction path)
        : m_path(std::move(path))
    {
    }
    // A rounded rectangle of the given corner radius.
    static FallbackAnyShape roundedRectangle(qreal cornerRadius);

    QPainterPath path(const QRectF& rect) const { return m_path ? m_path(rect) : QPainterPath(); }

private:
    PathFunction m_path;
};
