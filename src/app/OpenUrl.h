// Web addresses opened in the user's default browser, through the shell's "open" verb.
#pragma once

#include "util/Text.h"

// Returns at once; whatever the shell makes of the address (no browser, no network) is its own
// business, and nothing is reported.
void OpenUrl(const Text& address);
