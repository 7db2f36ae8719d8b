// The handling of one window message, shared by the main message loop and PumpEvents so that a
// message dispatched in the middle of a request is treated exactly as the loop would treat it.
#pragma once

#include "sys/Win.h"

// Offered each message before translation; returns true when it consumed the message (for example
// a dialog-style key that moves the focus). The window installs one; null removes it.
using PreTranslate = bool (*)(MSG& msg);
void SetPreTranslate(PreTranslate hook);

// Pre-translation, TranslateMessage, DispatchMessageW.
void HandleMessage(MSG& msg);

// Runs until the quit message and returns its exit code.
int RunMessageLoop();
