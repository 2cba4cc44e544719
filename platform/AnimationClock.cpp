#include "platform/AnimationClock.h"

#include <QCoreApplication>

namespace {
// Runs for ever and does nothing.
class EndlessAnimation : public QAbstractAnimation {
public:
    using QAbstractAnimation::QAbstractAnimation;
    int duration() const override { return -1; }

protected:
    void updateCurrentTime(int) override { }
};
} // namespace

ManualAnimationClock::ManualAnimationClock(QObject* parent)
    : QAnimationDriver(parent)
{
    install();
    // Qt stops its clock when no animation runs and, when it starts it again,
    // counts the real time that passed meanwhile into the next animation.
    // An animation that never ends keeps it running, so only advance() moves
    // the time.
    m_keepRunning = new EndlessAnimation(this);
    m_keepRunning->start();
}

ManualAnimationClock::~ManualAnimationClock()
{
    m_keepRunning->stop();
    uninstall();
}

void ManualAnimationClock::start()
{
    // Qt adds the driver's elapsed time to the moment it started the driver,
    // so each run counts from zero.
    m_elapsed = 0;
    QAnimationDriver::start();
}

void ManualAnimationClock::stop()
{
    QAnimationDriver::stop();
}

void ManualAnimationClock::advanceBy(int milliseconds)
{
    // Qt registers a started animation with its timer in one queued call,
    // which queues the next (and starts the clock when it is not running).
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
    m_elapsed += milliseconds;
    advance();
    QCoreApplication::processEvents();
}

void ManualAnimationClock::advanceInFrames(int milliseconds, int frame)
{
    frame = qMax(frame, 1);
    for (int passed = 0; passed < milliseconds; passed += frame)
        advanceBy(qMin(frame, milliseconds - passed));
}
