#include "platform/ViewTask.h"

#include "platform/Appearance.h"

#include <QWidget>

ViewTask::ViewTask(QWidget* target, Action action, QVariant id)
    : QObject(target)
    , m_target(target)
    , m_appearance(new AppearanceObserver(target, this))
    , m_action(std::move(action))
    , m_id(std::move(id))
{
    connect(m_appearance, &AppearanceObserver::appeared, this, [this] {
        if (!m_handle.isActive())
            start();
    });
    connect(m_appearance, &AppearanceObserver::disappeared, this, &ViewTask::stop);
    if (m_appearance->isAppeared())
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
    if (m_appearance->isAppeared())
        start();
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
