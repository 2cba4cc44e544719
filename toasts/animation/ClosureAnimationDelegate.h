#pragma once

#include "toasts/animation/CAAnimatable.h"

#include <functional>

// An animation delegate made of two functions: one told when the animation
// starts, one when it stops, with whether it ran to its end.
class ClosureAnimationDelegate : public AnimationDelegate {
public:
    using Started = std::function<void()>;
    using Completed = std::function<void(bool finished)>;

    ClosureAnimationDelegate(Started onStarted, Completed onCompleted)
        : m_onStarted(std::move(onStarted))
        , m_onCompleted(std::move(onCompleted))
    {
    }
    ClosureAnimationDelegate() = delete;

    void animationDidStart() override
    {
        if (m_onStarted)
            m_onStarted();
    }
    void animationDidStop(bool finished) override
    {
        if (m_onCompleted)
            m_onCompleted(finished);
    }

private:
    Started m_onStarted;
    Completed m_onCompleted;
};
