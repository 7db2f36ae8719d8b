#include "speech/SpeechService.h"

#include "speech/UrlDownload.h"
#include "util/Files.h"
#include "util/Mp3Frames.h"

Text LeftMarkerNotFound() { return "\xCE\xB4\xD5\xD2\xB5\xBD\xD7\xF3\xB1\xDF\xC4\xDA\xC8\xDD"; }   // 未找到左边内容
Text RightMarkerNotFound() { return "\xCE\xB4\xD5\xD2\xB5\xBD\xD3\xD2\xB1\xDF\xC4\xDA\xC8\xDD"; }  // 未找到右边内容

Text ExtractBetween(const Text& text, const Text& left, const Text& right, bool& found) {
    int a = FindText(text, left, kNoStart, false);
    if (a == -1) {
        found = false;
        return LeftMarkerNotFound();
    }
    int b = FindText(text, right, kNoStart, false);
    if (b == -1) {
        found = false;
        return RightMarkerNotFound();
    }
    found = true;
    int s = a + TextLength(left);
    return TextMid(text, s, b - s);
}

namespace {

// The address comes from the network: anything but a web address (a local path, another scheme,
// the not-found messages) is refused before the URL moniker service sees it.
bool IsWebAddress(const Text& address) {
    return FindText(TextLeft(address, 7), "http://", 1, true) == 1 || FindText(TextLeft(address, 8), "https://", 1, true) == 1;
}

}  // namespace

bool DownloadToFile(const Text& address, const Text& target, ControlAccess& controls) {
    if (!IsWebAddress(address)) return false;
    // The URL moniker service reports success for a transfer cut short, so the file is written
    // beside the target and only moved there once it has been checked.
    Text partial = Concat(target, ".part");
    RemoveFile(partial);
    bool whole = false;
    if (Downloader().Download(address, partial)) {
        Bytes data = ReadWholeFile(partial);
        whole = IsWholeMp3(data.Data(), static_cast<size_t>(data.Length())) && RenameFile(partial, target);
    }
    if (!whole) {
        RemoveFile(partial);
        return false;
    }
    controls.SetMessageText(target);
    return true;
}
