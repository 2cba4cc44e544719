#include "platform/WallClock.h"

namespace {
std::function<QDateTime()>& testClock()
{
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

namespace WallClock {
QDateTime now()
{
    return testClock() ? testClock()() : QDateTime::currentDateTime();
}

void setForTesting(std::function<QDateTime()> clock)
{
    testClock() = std::move(clock);
}
} // namespace WallClock
