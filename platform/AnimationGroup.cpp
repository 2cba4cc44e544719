#include "platform/AnimationGroup.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <cmath>

double TimedAnimation::progressAt(double seconds) const
{
    const double local = std::clamp(seconds, 0.0, std::max(duration, 0.0));
    if (const auto* spring = std::get_if<SpringSolver>(&timing))
        return spring->position(local);
    if (!(duration > 0))
        return 1.0;
    return std::get<TimingFunction>(timing).valueAt(local / duration);
}

AnimationGroup::AnimationGroup(QObject* parent)
    : QAbstractAnimation(parent)
{
}

AnimationGroup::~AnimationGroup()
{
    // Stopping here would run updateState() on a half-destroyed object.
    if (m_started)
        reportStop(false);
}

void AnimationGroup::addAnimation(TimedAnimation animation)
{
    m_animations.push_back(std::move(animation));
}

void AnimationGroup::setBeginDelay(double seconds)
{
    m_delay = std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
}

double AnimationGroup::totalDuration() const
{
    double longest = 0;
    for (const TimedAnimation& animation : m_animations)
        longest = std::max(longest, std::isfinite(animation.duration) ? animation.duration : 0.0);
    return m_delay + longest;
}

int AnimationGroup::duration() const
{
    return static_cast<int>(std::ceil(std::min(totalDuration(), 86400.0) * 1000.0));
}

void AnimationGroup::updateCurrentTime(int currentTime)
{
    const double local = currentTime / 1000.0 - m_delay;
    for (const TimedAnimation& animation : m_animations) {
        if (!animation.apply)
            continue;
        animation.apply(local <= 0 ? animation.progressAt(0) : animation.progressAt(local));
    }
}

void AnimationGroup::updateState(State newState, State oldState)
{
    if (newState == Running && oldState == Stopped && !m_started) {
        m_started = true;
        if (m_onStarted)
            m_onStarted();
    } else if (newState == Stopped && m_started) {
        reportStop(currentTime() >= duration());
    }
}

void AnimationGroup::reportStop(bool finished)
{
    if (m_reported)
        return;
    m_reported = true;
    if (!m_onStopped)
        return;
    // Never from inside the clock's update or a caller's stop(): whoever
    // stopped the group may be in the middle of replacing it.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [callback = std::move(m_onStopped), finished] { callback(finished); },
        Qt::QueuedConnection);
}
