// The dialog keys of a plain top-level window, done by hand because the window is not a dialog:
// Tab and Shift+Tab walk a fixed ring of controls, Esc closes the window, Enter reaches only a
// control that claims it (an editable multi-line edit box) and F1 does nothing. The main loop and
// the pump inside a running request both offer every message here first.
#pragma once

#include <span>

#include "sys/Win.h"

// True when msg, addressed to window or one of its descendants, was such a key and has been dealt
// with; the caller must then neither translate nor dispatch it.
bool HandleDialogKey(const MSG& msg, HWND window, std::span<const HWND> ring);

// The next (or previous) control of the ring after from that is visible and enabled; from itself
// when it is the only one, null when none is.
HWND NextInRing(std::span<const HWND> ring, HWND from, bool backwards);

// An editable multi-line edit box: Enter there makes a line break.
bool ClaimsEnter(HWND control);
