// The Play button and the publisher link, and the player's stop at shut-down.
#pragma once

#include "BuiltInHosts.h"
#include "speech/ControlAccess.h"

// The publisher's site, opened by 官方网站.
inline constexpr char kPublisherSiteUrl[] = "http://" TARVINEL_PUBLISHER_HOST "/";

// Click of 按钮2: plays the file named by 编辑框2 once (the last generation's file while 编辑框2
// shows its completion message); nothing for an empty 编辑框2.
void OnPlayClicked(ControlAccess& controls);
// Selection of 官方网站: opens the publisher's site in the default browser.
void OnPublisherSiteSelected();
// Stops any playback at once; called at shut-down before OLE is uninitialised.
void StopPlayback();
