#include "util/Clock.h"

#include "util/Platform.h"

namespace {
ClockFunction gClock = nullptr;
}

LocalTime ReadLocalClock() { return gClock ? gClock() : PlatformLocalClock(); }

ClockFunction SetClockForTesting(ClockFunction clock) {
    ClockFunction previous = gClock;
    gClock = clock;
    return previous;
}
