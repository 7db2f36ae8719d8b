#include "app/PlaybackCommands.h"

#include "app/Mp3Player.h"
#include "app/OpenUrl.h"
#include "speech/Generation.h"

void OnPlayClicked(ControlAccess& controls) {
    if (controls.MessageText().Empty()) return;  // a playback that runs goes on
    const Text shown = controls.MessageText();
    // After a generation 编辑框2 shows its completion message, which names no file: Play then plays
    // the file that generation saved, which is what the user asks for.
    const SavedGeneration& last = LastSavedGeneration();
    if (!last.message.Empty() && shown == last.message) {
        PlayMp3(1, last.file);
        return;
    }
    PlayMp3(1, shown);
}

void OnPublisherSiteSelected() { OpenUrl(kPublisherSiteUrl); }

void StopPlayback() { StopMp3(); }
