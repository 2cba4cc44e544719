#pragma once

#include <QAbstractAnimation>
#include <QAnimationDriver>

// The clock every Qt animation of the thread runs on, stepped by hand: once
// installed, animations move only when advance() is called, so tests step
// through a transition frame by frame and never sleep. Uninstalled (and the
// real clock restored) when destroyed. Main thread only.
class ManualAnimationClock : public QAnimationDriver {
    Q_OBJECT
public:
    explicit ManualAnimationClock(QObject* parent = nullptr);
    ~ManualAnimationClock() override;

    // Lets pending animation starts register (they are queued by Qt), then
    // moves time on by `milliseconds` and updates every running animation.
    void advanceBy(int milliseconds);
    // Steps in frames of `frame` milliseconds until `milliseconds` have passed.
    void advanceInFrames(int milliseconds, int frame = 16);

    qint64 elapsed() const override { return m_elapsed; }

protected:
    void start() override;
    void stop() override;

private:
    qint64 m_elapsed = 0;
    QAbstractAnimation* m_keepRunning = nullptr;
};
