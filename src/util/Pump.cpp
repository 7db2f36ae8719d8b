#include "util/Pump.h"

#include "util/Platform.h"

namespace {
EventPump* gPump = nullptr;
}

void PumpEvents() {
    if (gPump) {
        gPump->Pump();
    } else {
        PlatformPumpEvents();
    }
}

EventPump* SetEventPumpForTesting(EventPump* pump) {
    EventPump* previous = gPump;
    gPump = pump;
    return previous;
}
