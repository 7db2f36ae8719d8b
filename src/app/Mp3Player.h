// The MP3 player: one playback at a time for the whole process, decoded in process and played on the
// wave mapper by a thread of the player's own. Called from one thread only (the window's).
#pragma once

#include "util/Text.h"

// Stops the playback running (at once, whether or not the new file can be played), then plays the
// file `times` times in a row and returns at once. The name is a path, used unchanged; a relative
// one resolves against the current directory. A file that is missing, unreadable or not MP3 audio
// plays nothing, and nothing is reported.
void PlayMp3(int times, const Text& file);
// Stops the playback running, if any, and waits for its thread to end.
void StopMp3();
// True while a playback's thread runs (it ends by itself after the last pass).
bool Mp3Playing();

// Replaces PlayMp3 for the tests of its callers (null restores the player); returns the one it
// replaced.
using PlayMp3Function = void (*)(int times, const Text& file);
PlayMp3Function SetPlayMp3ForTesting(PlayMp3Function play);
