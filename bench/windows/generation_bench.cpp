// One whole generation, from the click handler to the completion message, against the platform work
// it cannot avoid: one GET of the same page through the same internet library with a 64 KiB buffer,
// and one URL download of the same audio address to a file. Both run against the speech service
// with its host mapped (run it through tests/windows/run_with_speech_host.sh), after a warm-up, turn
// about, for a 10-character text. Prints the medians and
//   ratio generation_vs_platform_floor VALUE <= 1.20
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "http/Internet.h"
#include "speech/Generation.h"
#include "speech/SpeechService.h"
#include "speech/UrlDownload.h"
#include "sys/Win.h"
#include "util/Files.h"

namespace {

// 你好世界今天天气很好啊: ten characters.
const char kText[] = "\xC4\xE3\xBA\xC3\xCA\xC0\xBD\xE7\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xBA\xDC\xBA\xC3\xB0\xA1";
// The same text, percent-encoded UTF-8, for the floor's request.
const char kEncoded[] = "%E4%BD%A0%E5%A5%BD%E4%B8%96%E7%95%8C%E4%BB%8A%E5%A4%A9%E5%A4%A9%E6%B0%94%E5%BE%88%E5%A5%BD%E5%95%8A";
constexpr int kRounds = 10;

double Seconds() {
    LARGE_INTEGER f, now;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(f.QuadPart);
}

class Controls : public ControlAccess {
public:
    Text input = kText, message;
    Text InputText() override { return input; }
    Text MessageText() override { return message; }
    void SetMessageText(const Text& t) override { message = t; }
    Text StartCaption() override { return Text(); }
    void SetStartCaption(const Text&) override {}
};

// The bare work: GET, cut the address out, download it. Returns false when any step fails.
bool Floor(const Text& file) {
    InternetLibrary& lib = PlatformInternetLibrary();
    std::string path = std::string(kSpeechServiceUrl).substr(std::string(TARVINEL_SPEECH_HOST).size()) + kEncoded;
    InternetHandle internet = lib.InternetOpenA("bench", kInternetOpenTypeDirect, nullptr, nullptr, 0);
    InternetHandle connection = lib.InternetConnectA(internet, TARVINEL_SPEECH_HOST, 80, "", "", kInternetServiceHttp, 0, 0);
    InternetHandle request = lib.HttpOpenRequestA(connection, nullptr, path.c_str(), "HTTP/1.1", nullptr, nullptr,
                                                  kInternetFlagReload, 0);
    lib.HttpSendRequestA(request, "", 0, nullptr, 0);
    std::string page;
    std::vector<char> buffer(64 * 1024);
    uint32_t count = 0;
    while (lib.InternetReadFile(request, buffer.data(), static_cast<uint32_t>(buffer.size()), &count) && count > 0) {
        page.append(buffer.data(), count);
    }
    lib.InternetCloseHandle(request);
    lib.InternetCloseHandle(connection);
    lib.InternetCloseHandle(internet);
    size_t a = page.find(kAudioLeftMarker), b = page.find(kAudioRightMarker);
    if (a == std::string::npos || b == std::string::npos) return false;
    a += strlen(kAudioLeftMarker);
    return PlatformUrlDownloader().Download(Text::Of(page.substr(a, b - a)), file);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    Text floorFile = Concat(RunDirectory(), "\\floor.mp3");
    Controls controls;
    OnStartClicked(controls);  // warm-up: the first URL download costs several times the later ones
    if (!Floor(floorFile) || controls.message.Empty()) {
        fprintf(stderr, "the speech service did not answer\n");
        printf("ratio generation_vs_platform_floor nan <= 1.20\n");
        return 1;
    }
    std::vector<double> generation, floor;
    for (int i = 0; i < kRounds; i++) {
        controls.message = Text();
        double t0 = Seconds();
        OnStartClicked(controls);
        double t1 = Seconds();
        bool ok = Floor(floorFile);
        double t2 = Seconds();
        if (controls.message.Empty() || !ok) {
            fprintf(stderr, "round %d failed\n", i);
            return 1;
        }
        RemoveFile(LastSavedGeneration().file);
        generation.push_back(t1 - t0);
        floor.push_back(t2 - t1);
    }
    RemoveFile(floorFile);
    double g = Median(generation), f = Median(floor);
    printf("generation %.1f ms, platform floor %.1f ms (medians of %d)\n", g * 1000, f * 1000, kRounds);
    printf("ratio generation_vs_platform_floor %.2f <= 1.20\n", g / f);
    return 0;
}
