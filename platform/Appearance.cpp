#include "platform/Appearance.h"

#include <QEvent>
#include <QWidget>

AppearanceObserver::AppearanceObserver(QWidget* target, QObject* parent)
    : QObject(parent ? parent : target)
    , m_target(target)
{
    target->installEventFilter(this);
    m_appeared = target->isVisible();
}

bool AppearanceObserver::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        update();
    return QObject::eventFilter(watched, event);
}

void AppearanceObserver::update()
{
    // A minimised window's widgets get spontaneous hide and show events but
    // stay visible; only a change of visibility counts.
    const bool visible = m_target && m_target->isVisible();
    if (visible == m_appeared)
        return;
    m_appeared = visible;
    if (visible)
        emit appeared();
    else
        emit disappeared();
}

AppearanceObserver* onAppear(QWidget* target, std::function<void()> action)
{
    auto* observer = new AppearanceObserver(target);
    QObject::connect(observer, &AppearanceObserver::appeared, observer, std::move(action));
    return observer;
}

AppearanceObserver* onDisappear(QWidget* target, std::function<void()> action)
{
    auto* observer = new AppearanceObserver(target);
    QObject::connect(observer, &AppearanceObserver::disappeared, observer, std::move(action));
    return observer;
}
