#include "platform/ViewTask.h"

#include <QEvent>
#include <QWidget>

ViewTask::ViewTask(QWidget* target, Action action, QVariant id)
    : QObject(target)
    , m_target(target)
    , m_action(std::move(action))
    , m_id(std::move(id))
{
    target->installEventFilter(this);
    if (target->isVisible())
        start();
}

ViewTask::~ViewTask()
{
    stop();
}

void ViewTask::setId(const QVariant& id)
{
    if (id == m_id)
        return;
    m_id = id;
    stop();
    if (m_target && m_target->isVisible())
        start();
}

bool ViewTask::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target) {
        if (event->type() == QEvent::Show && !m_handle.isActive())
            start();
        else if (event->type() == QEvent::Hide)
            stop();
    }
    return QObject::eventFilter(watched, event);
}

void ViewTask::start()
{
    CancellationSource source;
    m_handle = TaskHandle(source);
    // The coroutine is detached: it keeps itself alive until it finishes and
    // learns of its cancellation through the token.
    m_action(source.token());
}

void ViewTask::stop()
{
    m_handle.cancel();
}

ViewTask* attachViewTask(QWidget* target, ViewTask::Action action, QVariant id)
{
    return new ViewTask(target, std::move(action), std::move(id));
}
