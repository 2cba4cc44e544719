#include "platform/CancellationToken.h"

QMetaObject::Connection CancellationToken::onCancel(const QObject* receiver, std::function<void()> action) const
{
    if (!m_state)
        return {};
    return QObject::connect(m_state.get(), &platform_detail::CancellationState::cancelledChanged, receiver,
                            std::move(action), Qt::SingleShotConnection);
}

CancellationSource::CancellationSource()
    : m_state(std::make_shared<platform_detail::CancellationState>())
{
}

TaskHandle::TaskHandle(TaskHandle&& other) noexcept
    : m_source(other.m_source)
    , m_engaged(std::exchange(other.m_engaged, false))
{
}

TaskHandle& TaskHandle::operator=(TaskHandle&& other) noexcept
{
    if (this != &other) {
        cancel();
        m_source = other.m_source;
        m_engaged = std::exchange(other.m_engaged, false);
    }
    return *this;
}

void TaskHandle::cancel()
{
    if (m_engaged)
        m_source.cancel();
    m_engaged = false;
}
