#include "platform/AnimationClock.h"

#include <QCoreApplication>

ManualAnimationClock::ManualAnimationClock(QObject* parent)
    : QAnimationDriver(parent)
{
    install();
}

ManualAnimationClock::~ManualAnimationClock()
{
    uninstall();
}

void ManualAnimationClock::start()
{
    // Qt adds the driver's elapsed time to the moment it started the driver,
    // so each run counts from zero.
    m_elapsed = 0;
    QAnimationDriver::start();
}

void ManualAnimationClock::advanceBy(int milliseconds)
{
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
