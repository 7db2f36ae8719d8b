// The local wall clock, to the second.
//
// Seam: Windows reads GetLocalTime; the native build reads localtime_r. Tests can set a clock.
#pragma once

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

LocalTime ReadLocalClock();

using ClockFunction = LocalTime (*)();
// Replaces the clock (null restores the system's); returns the one it replaced.
ClockFunction SetClockForTesting(ClockFunction clock);
