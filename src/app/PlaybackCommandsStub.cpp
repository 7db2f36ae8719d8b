// Stand-ins for the playback commands while the player is not in the tree: Play and the publisher
// link do nothing, and there is never a playback to stop.
#include "app/PlaybackCommands.h"

void OnPlayClicked(ControlAccess&) {}
void OnPublisherSiteSelected() {}
void StopPlayback() {}
