// The Play command's choice of what to play (the player replaced by a recorder), and the publisher
// link handed to the shell, captured by a stand-in browser that ctest's configuration writes.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "app/Mp3Player.h"
#include "app/PlaybackCommands.h"
#include "http/FakeInternet.h"
#include "speech/FakeSpeechPlatform.h"
#include "speech/Generation.h"
#include "sys/Win.h"
#include "windows/FakeBrowser.h"

namespace {

std::vector<std::string> gPlayed;  // "times|file"

void RecordPlay(int times, const Text& file) { gPlayed.push_back(std::to_string(times) + "|" + file.Str()); }

class RecordedPlayer {
public:
    RecordedPlayer() : previous_(SetPlayMp3ForTesting(RecordPlay)) { gPlayed.clear(); }
    ~RecordedPlayer() { SetPlayMp3ForTesting(previous_); }

private:
    PlayMp3Function previous_;
};

// 编辑框2 giving a different text at each reading (the last one repeats).
class ChangingMessage : public MemoryControls {
public:
    std::deque<Text> readings;
    Text MessageText() override {
        Text t = readings.front();
        if (readings.size() > 1) readings.pop_front();
        return t;
    }
};

// Runs one successful generation through the stand-ins; returns what it left in 编辑框2.
Text Generate(LocalTime at) {
    FakeInternet net;
    MemoryFileSystem fs;
    MemoryDownloader downloader(fs);
    FixedClock clock(at);
    MemoryControls controls;
    net.bodyChunks = {"<embed src='/Products/MediaPlayer/' src='http://tts.morvast.example/a.mp3' width='0' height='0' autostart='true'>"};
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x64';
    downloader.served["http://tts.morvast.example/a.mp3"] = frame + frame;
    controls.input = "\xC4\xE3\xBA\xC3";  // 你好
    OnStartClicked(controls);
    return controls.message;
}

TEST(PlayCommandTest, PlaysTheLastGenerationWhileItsMessageShowsAndElseTheTextAsAName) {
    const Text older = Generate({2012, 1, 12, 8, 46, 23});
    const Text latest = Generate({2012, 1, 12, 8, 47, 5});
    const std::string savedFile = LastSavedGeneration().file.Str();
    ASSERT_EQ(LastSavedGeneration().message, latest);
    ASSERT_NE(older, latest);
    ASSERT_NE(savedFile.find("8\xCA\xB1" "47\xB7\xD6" "5\xC3\xEB.mp3"), std::string::npos);  // 8时47分5秒

    const std::string path = "C:\\music\\\xD2\xF4\xC0\xD6 1.mp3";  // 音乐 1.mp3
    struct Case {
        const char* what;
        std::vector<Text> readings;  // 编辑框2 at the first, second ... reading
        std::vector<std::string> played;
    } cases[] = {
        {"empty box: nothing, a playback goes on", {Text()}, {}},
        {"the latest completion message: its file", {latest}, {"1|" + savedFile}},
        {"an older completion message: a name like any other", {older}, {"1|" + older.Str()}},
        {"the message with a space more: a name", {Concat(latest, " ")}, {"1|" + latest.Str() + " "}},
        {"a path: unchanged, spaces and line breaks kept", {Text::Of(" " + path + "\r\n")}, {"1| " + path + "\r\n"}},
        {"a relative name: unchanged", {"a.mp3"}, {"1|a.mp3"}},
        {"the second reading is the one played", {"first.mp3", "second.mp3"}, {"1|second.mp3"}},
        {"emptied between the readings: an empty name", {"first.mp3", Text()}, {"1|"}},
        {"the message only at the second reading: its file", {"x", latest}, {"1|" + savedFile}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedPlayer player;
        ChangingMessage controls;
        controls.readings.assign(c.readings.begin(), c.readings.end());
        OnPlayClicked(controls);
        EXPECT_EQ(gPlayed, c.played);
        EXPECT_TRUE(controls.writes.empty()) << "Play writes nothing into the window";
    }
}

TEST(PublisherLinkTest, HandsThePublisherSiteToTheShell) {
    EXPECT_STREQ(kPublisherSiteUrl, "http://www.morvast.example/");
    FakeBrowser browser(L"" TARVINEL_FAKE_BROWSER, L"" TARVINEL_FAKE_BROWSER_LOG);
    OnPublisherSiteSelected();
    EXPECT_EQ(browser.Opened(std::chrono::seconds(20)), "http://www.morvast.example/\n");
}

}  // namespace
