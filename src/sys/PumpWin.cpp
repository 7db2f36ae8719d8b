#include "sys/MessageLoop.h"
#include "util/Platform.h"

void PlatformPumpEvents() {
    // The HTTP request pumps before every 2 KiB read: asking whether anything waits at all is much
    // cheaper than a peek, and nearly always the answer is no.
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        // The quit request belongs to the main loop, once the running handler has returned.
        if (msg.message == WM_QUIT) return;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
        // Another thread may have posted a quit between the two looks: put it back.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        HandleMessage(msg);
    }
}
