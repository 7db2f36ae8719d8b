// PumpEvents: dispatches every window message that is waiting, then returns. A quit request stays in
// the queue for the main loop.
//
// Seam: Windows peeks and dispatches the thread's queue; the native build has no queue and returns.
// Tests install a pump of their own.
#pragma once

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void Pump() = 0;
};

void PumpEvents();
// Replaces the pump (null restores the platform's); returns the one it replaced.
EventPump* SetEventPumpForTesting(EventPump* pump);
