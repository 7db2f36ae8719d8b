#include "sys/MessageLoop.h"

namespace {
PreTranslate g_preTranslate = nullptr;
}

void SetPreTranslate(PreTranslate hook) { g_preTranslate = hook; }

void HandleMessage(MSG& msg) {
    if (g_preTranslate && g_preTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 0;  // not with a null window filter; -1 is the fatal report's alone
        HandleMessage(msg);
    }
}
