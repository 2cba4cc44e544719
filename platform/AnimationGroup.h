#pragma once

#include "platform/TimingFunction.h"

#include <QAbstractAnimation>
#include <QString>

#include <functional>
#include <variant>
#include <vector>

// One property animation of a group: how long it runs, how its progress
// follows time (a Bézier over its duration, or a spring in real seconds) and
// what to do with the progress, a fraction of the change that a spring may
// carry past 1.
struct TimedAnimation {
    QString keyPath;
    double duration = 0; // seconds
    std::variant<TimingFunction, SpringSolver> timing = TimingFunction::defaultCurve();
    std::function<void(double progress)> apply;

    double progressAt(double seconds) const;
};

// Animations that run together after a common delay, on the thread's
// animation clock. Fill mode is "both": during the delay every child shows its
// start (progress 0), and a child that ends before the others holds its end.
// The group lasts the delay plus its longest child.
//
// onStarted runs when the group starts; onStopped runs exactly once, on a
// later turn of the event loop, with true when the group ran to its end and
// false when it was stopped (or deleted) before. The callbacks outlive the
// group, so deleting a running group still reports it as not finished.
class AnimationGroup : public QAbstractAnimation {
    Q_OBJECT
public:
    explicit AnimationGroup(QObject* parent = nullptr);
    ~AnimationGroup() override;

    void addAnimation(TimedAnimation animation);
    const std::vector<TimedAnimation>& animations() const { return m_animations; }

    void setBeginDelay(double seconds);
    double beginDelay() const { return m_delay; }
    // The delay plus the longest child, in seconds.
    double totalDuration() const;

    void setOnStarted(std::function<void()> callback) { m_onStarted = std::move(callback); }
    void setOnStopped(std::function<void(bool finished)> callback) { m_onStopped = std::move(callback); }

    int duration() const override;

protected:
    void updateCurrentTime(int currentTime) override;
    void updateState(State newState, State oldState) override;

private:
    void reportStop(bool finished);

    std::vector<TimedAnimation> m_animations;
    double m_delay = 0;
    std::function<void()> m_onStarted;
    std::function<void(bool)> m_onStopped;
    bool m_started = false;
    bool m_reported = false;
};
