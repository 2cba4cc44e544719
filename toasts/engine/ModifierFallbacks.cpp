#include "toasts/engine/ModifierFallbacks.h"

#include <QEvent>
#include <QWidget>

ViewTask* taskFallback(QWidget* view, TaskPriority priority, ViewTask::Action action)
{
    Q_UNUSED(priority);
    return attachViewTask(view, std::move(action));
}

ViewTask* taskFallback(QWidget* view, const QVariant& id, TaskPriority priority, ViewTask::Action action)
{
    Q_UNUSED(priority);
    return attachViewTask(view, std::move(action), id);
}

OnHoverFallbackModifier::OnHoverFallbackModifier(QWidget* view, std::function<void(bool hovering)> action)
    : QObject(view)
    , m_action(std::move(action))
{
    if (view) {
        view->setAttribute(Qt::WA_Hover);
        view->installEventFilter(this);
    }
}

bool OnHoverFallbackModifier::eventFilter(QObject*, QEvent* event)
{
    if (!m_action)
        return false;
    if (event->type() == QEvent::Enter)
        m_action(true);
    else if (event->type() == QEvent::Leave)
        m_action(false);
    return false;
}

FallbackAnyShape FallbackAnyShape::roundedRectangle(qreal cornerRadius)
{
    return FallbackAnyShape([cornerRadius](const QRectF& rect) {
        QPainterPath path;
        path.addRoundedRect(rect, cornerRadius, cornerRadius);
        return path;
    });
}
