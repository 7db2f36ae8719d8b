// The conversation with the speech service: the request URL, the audio address cut out of its HTML
// answer, and the download of the audio.
#pragma once

#include "BuiltInHosts.h"
#include "speech/ControlAccess.h"
#include "util/Text.h"

// The request prefix; the percent-encoded text follows it directly. No scheme and no port: port 80.
inline constexpr char kSpeechServiceUrl[] = TARVINEL_SPEECH_HOST "/bin/makeColorPlusGuest.jsp?sex=201&speed=0&ment=";
// The markers that frame the audio address in the service's answer.
inline constexpr char kAudioLeftMarker[] = "Products/MediaPlayer/' src='";
inline constexpr char kAudioRightMarker[] = "' width='0' height='0' autostart";

// The text between the first left and the first right marker, both searched from the start. When a
// marker is missing, found is false and the result is one of two fixed messages in place of content.
Text ExtractBetween(const Text& text, const Text& left, const Text& right, bool& found);
Text LeftMarkerNotFound();
Text RightMarkerNotFound();

// Fetches address into target and, on success, shows target in 编辑框2. The file appears under
// target only when it holds whole MP3 audio; an address that is not http:// or https:// is never
// fetched, and a failed or partial download leaves no file behind.
bool DownloadToFile(const Text& address, const Text& target, ControlAccess& controls);
