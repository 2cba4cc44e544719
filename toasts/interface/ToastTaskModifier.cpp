#include "toasts/interface/ToastTaskModifier.h"

#include "toasts/engine/ToastCancellation.h"
#include "toasts/presenters/ToastPresenterProxy.h"

#include "platform/ViewTask.h"

ToastTaskModifier::ToastTaskModifier(QWidget* target, TaskPriority priority, Operation operation, QVariant id)
    : QObject(target)
    , m_target(target)
    , m_priority(priority)
    , m_box(target, [] { return std::make_shared<CancellablesBox>(); })
{
    m_task = taskFallback(target, id, priority,
        [this, operation = std::move(operation)](CancellationToken token) { return operation(makeAction(), token); });
    m_task->setParent(this);
}

void ToastTaskModifier::setId(const QVariant& id)
{
    if (id != m_task->id())
        m_box.update();
    m_task->setId(id);
}

ScheduleToastAction ToastTaskModifier::makeAction()
{
    return ScheduleToastAction{Environment::get(m_target, ToastPresenterEnvironmentKey::key()),
                               ToastEnvironmentValues::capture(m_target),
                               Environment::get(m_target, ToastCancellationEnvironmentKey::key()),
                               ToastCancellation::presentation, m_box.wrappedValue()};
}

ToastTaskModifier* toastTask(QWidget* view, TaskPriority priority, ToastTaskModifier::Operation operation)
{
    return new ToastTaskModifier(view, priority, std::move(operation));
}

ToastTaskModifier* toastTask(QWidget* view, QVariant id, TaskPriority priority, ToastTaskModifier::Operation operation)
{
    return new ToastTaskModifier(view, priority, std::move(operation), std::move(id));
}

ToastTaskModifier* toastTask(QWidget* view, ToastTaskModifier::Operation operation)
{
    return toastTask(view, TaskPriority::userInitiated, std::move(operation));
}

ToastTaskModifier* toastTask(QWidget* view, QVariant id, ToastTaskModifier::Operation operation)
{
    return toastTask(view, std::move(id), TaskPriority::userInitiated, std::move(operation));
}
