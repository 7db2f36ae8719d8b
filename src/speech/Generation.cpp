#include "speech/Generation.h"

#include "http/HttpRequest.h"
#include "speech/RequestEncoding.h"
#include "speech/SpeechService.h"
#include "util/DateTime.h"
#include "util/Files.h"

namespace {

const char kGeneratingCaption[] = "\xC9\xFA\xB3\xC9\xD6\xD0...";                       // 生成中...
const char kStartCaption[] = "\xBF\xAA\xCA\xBC\xC9\xFA\xB3\xC9";                       // 开始生成
const char kFolderName[] = "\\\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE\xBC\xD0";  // \生成音频测试文件夹
const char kFilePrefix[] = "\\\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4";       // \生成音频测试
const char kFinished[] = "\xC9\xFA\xB3\xC9\xCD\xEA\xB1\xCF\xA3\xA1\r\n\r\nMorvast ";   // 生成完毕！ + publisher line

SavedGeneration gLastSaved;

// The audio's name: the time it was made, and " (2)", " (3)" ... when a file of that name exists
// already, so that no generation overwrites another's audio.
Text UniqueTarget(const Text& folder) {
    Text stem = Concat(folder, kFilePrefix, TimeText(Now()));
    Text target = Concat(stem, ".mp3");
    for (int n = 2; FileExists(target) || FileExists(Concat(target, ".part")); n++) {
        target = Concat(stem, " (", IntToText(n), ").mp3");
    }
    return target;
}

}  // namespace

Text OutputFolder() { return Concat(RunDirectory(), kFolderName); }

Text CompletionMessage() { return Concat(TimeText(Now()), kFinished, TARVINEL_PUBLISHER_HOST); }

void OnStartClicked(ControlAccess& controls) {
    controls.SetStartCaption(kGeneratingCaption);
    Text text = controls.InputText();
    GenerateSpeech(text, controls);
    controls.SetStartCaption(kStartCaption);
}

void GenerateSpeech(const Text& text, ControlAccess& controls) {
    Text url = Concat(kSpeechServiceUrl, UrlEncodeUtf8(text));
    Text headers, responseHeaders;
    Text page = HttpRequestText(url, Text(), Text(), headers, Text(), responseHeaders);
    bool found = false;
    Text address = ExtractBetween(page, kAudioLeftMarker, kAudioRightMarker, found);

    Text folder = OutputFolder();
    if (!FileExists(folder)) CreateDirectory(folder);
    Text target = UniqueTarget(folder);
    if (!DownloadToFile(address, target, controls)) return;

    Text message = CompletionMessage();
    controls.SetMessageText(message);
    gLastSaved = {target, message};
}

const SavedGeneration& LastSavedGeneration() { return gLastSaved; }
