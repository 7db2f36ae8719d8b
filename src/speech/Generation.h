// The Start command: the text of 编辑框1 becomes an MP3 in the output folder, and the outcome shows
// in 编辑框2 (the completion message on success; unchanged otherwise).
#pragma once

#include "speech/ControlAccess.h"
#include "util/Text.h"

// Click of 按钮1: "生成中..." while the job runs, "开始生成" after it.
void OnStartClicked(ControlAccess& controls);
void GenerateSpeech(const Text& text, ControlAccess& controls);

// The folder under the run directory that receives the audio.
Text OutputFolder();
// The completion message for a generation that ends now.
Text CompletionMessage();

// What the last successful generation saved, and the message it wrote after it, so that Play can
// play that file while 编辑框2 still shows that message.
struct SavedGeneration {
    Text file;
    Text message;
};
const SavedGeneration& LastSavedGeneration();
