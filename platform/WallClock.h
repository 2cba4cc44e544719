#pragma once

#include <QDateTime>

#include <functional>

// The moment "now" as the application stamps what it fetched ("Last updated",
// the rank monitor's time). One place to read it, so that tests can stop the
// clock and get the same screen on every run. Main thread only.
namespace WallClock {
QDateTime now();
// Every later now() asks `clock`; an empty function restores the system clock.
void setForTesting(std::function<QDateTime()> clock);
} // namespace WallClock
