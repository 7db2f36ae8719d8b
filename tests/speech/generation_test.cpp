#include "speech/Generation.h"

#include <gtest/gtest.h>

#include "../http/FakeInternet.h"
#include "FakeSpeechPlatform.h"
#include "speech/SpeechService.h"

namespace {

// Code page 936 texts of the window and the file names.
const std::string kGenerating = "\xC9\xFA\xB3\xC9\xD6\xD0...";    // 生成中...
const std::string kStart = "\xBF\xAA\xCA\xBC\xC9\xFA\xB3\xC9";    // 开始生成
const std::string kFolder = "C:\\app\\\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE\xBC\xD0";  // 生成音频测试文件夹
const std::string kStem = kFolder + "\\\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4";  // 生成音频测试
const std::string kTime = "2012\xC4\xEA" "1\xD4\xC2" "12\xC8\xD5" "8\xCA\xB1" "46\xB7\xD6" "23\xC3\xEB";  // 2012年1月12日8时46分23秒
const std::string kCompletion = kTime + "\xC9\xFA\xB3\xC9\xCD\xEA\xB1\xCF\xA3\xA1\r\n\r\nMorvast www.morvast.example";

// Three MPEG 1 layer III frames at 128 kbit/s, 44.1 kHz: 417 bytes each.
std::string Mp3() {
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x64';
    return frame + frame + frame;
}

std::string Page(const std::string& address) {
    return "<html><body><embed src='/Products/MediaPlayer/' src='" + address +
           "' width='0' height='0' autostart='true'></body></html>";
}

class GenerationTest : public ::testing::Test {
protected:
    GenerationTest() : downloader(fs), clock({2012, 1, 12, 8, 46, 23}) {}
    void Serve(const std::string& page, const std::string& audio) {
        net.bodyChunks = {page};
        downloader.served["http://tts.morvast.example/a.mp3"] = audio;
    }
    FakeInternet net;
    MemoryFileSystem fs;
    MemoryDownloader downloader;
    FixedClock clock;
    MemoryControls controls;
};

TEST_F(GenerationTest, SuccessShowsTheTargetThenTheCompletionMessage) {
    Serve(Page("http://tts.morvast.example/a.mp3"), Mp3());
    controls.input = "\xC4\xE3\xBA\xC3";  // 你好
    OnStartClicked(controls);
    std::string target = kStem + kTime + ".mp3";
    EXPECT_EQ(controls.writes, (std::vector<std::string>{"caption:" + kGenerating, "message:" + target,
                                                         "message:" + kCompletion, "caption:" + kStart}));
    EXPECT_EQ(fs.files.at(target), Mp3());
    EXPECT_EQ(fs.files.size(), 1u);  // no partial file left
    EXPECT_EQ(LastSavedGeneration().file.Str(), target);
    EXPECT_EQ(LastSavedGeneration().message.Str(), kCompletion);
}

TEST_F(GenerationTest, RequestUrlCarriesTheEncodedText) {
    struct Case { Text input; std::string query; } cases[] = {
        {Text(), ""}, {"", ""}, {"Hi 1", "Hi%201"}, {"\xC4\xE3\xBA\xC3", "%E4%BD%A0%E5%A5%BD"},
    };
    for (const auto& c : cases) {
        net.log.clear();
        controls.input = c.input;
        OnStartClicked(controls);
        std::string path = "/bin/makeColorPlusGuest.jsp?sex=201&speed=0&ment=" + c.query;
        ASSERT_EQ(net.Count("InternetConnectA"), 1);
        EXPECT_NE(net.From("InternetConnectA")[0].find("\"tts.morvast.example\", 80"), std::string::npos) << net.From("InternetConnectA")[0];
        EXPECT_NE(net.From("HttpOpenRequestA")[0].find("\"" + path + "\""), std::string::npos) << net.From("HttpOpenRequestA")[0];
        EXPECT_NE(net.From("HttpSendRequestA")[0].find("Referer: tts.morvast.example" + path + "\r\n"), std::string::npos)
            << net.From("HttpSendRequestA")[0];
    }
}

TEST_F(GenerationTest, FailuresLeaveTheMessageAloneAndNoFile) {
    struct Case { const char* name; std::string page; std::string audio; bool unreachable; } cases[] = {
        {"service unreachable", "", "", true},
        {"no markers", "<html>busy</html>", Mp3(), false},
        {"right marker missing", "Products/MediaPlayer/' src='http://tts.morvast.example/a.mp3", Mp3(), false},
        {"not a web address", Page("C:\\Windows\\win.ini"), Mp3(), false},
        {"file scheme", Page("file:///C:/a.mp3"), Mp3(), false},
        {"download fails", Page("http://tts.morvast.example/missing.mp3"), Mp3(), false},
        {"error page saved as audio", Page("http://tts.morvast.example/a.mp3"), "<html>404</html>", false},
        {"cut-off transfer", Page("http://tts.morvast.example/a.mp3"), Mp3().substr(0, 1000), false},
        {"empty file", Page("http://tts.morvast.example/a.mp3"), "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Serve(c.page, c.audio);
        net.failOpen = c.unreachable;
        controls.message = "before";
        controls.writes.clear();
        OnStartClicked(controls);
        EXPECT_EQ(controls.message, Text("before"));
        EXPECT_EQ(controls.writes, (std::vector<std::string>{"caption:" + kGenerating, "caption:" + kStart}));
        EXPECT_TRUE(fs.files.empty());
        EXPECT_TRUE(fs.HasFolder(kFolder));  // the folder is made even when the download fails
    }
    // Only web addresses ever reach the downloader.
    for (const auto& call : downloader.calls) EXPECT_EQ(call.rfind("http://", 0), 0u) << call;
}

TEST_F(GenerationTest, FolderThatCannotBeMadeFailsTheDownload) {
    Serve(Page("http://tts.morvast.example/a.mp3"), Mp3());
    fs.refuseDirectories = true;
    OnStartClicked(controls);
    EXPECT_TRUE(controls.message.IsAbsent());
    EXPECT_EQ(controls.caption, Text(kStart.c_str()));
}

TEST_F(GenerationTest, GenerationsInOneSecondKeepEveryFile) {
    for (int i = 0; i < 3; i++) {
        Serve(Page("http://tts.morvast.example/a.mp3"), Mp3());
        OnStartClicked(controls);
    }
    EXPECT_EQ(fs.files.size(), 3u);
    EXPECT_TRUE(fs.files.count(kStem + kTime + ".mp3"));
    EXPECT_TRUE(fs.files.count(kStem + kTime + " (2).mp3"));
    EXPECT_TRUE(fs.files.count(kStem + kTime + " (3).mp3"));
    EXPECT_EQ(LastSavedGeneration().file.Str(), kStem + kTime + " (3).mp3");
}

TEST_F(GenerationTest, ClickDuringTheAnswerRunsANestedGenerationToItsEnd) {
    Serve(Page("http://tts.morvast.example/a.mp3"), Mp3());
    std::string page = net.bodyChunks.front();
    bool nested = false;
    net.onPump = [&] {
        if (nested) return;
        nested = true;
        net.bodyChunks.push_front("");    // ends the nested answer
        net.bodyChunks.push_front(page);  // the nested request reads its own answer first
        OnStartClicked(controls);
    };
    net.bodyChunks = {page};
    OnStartClicked(controls);
    EXPECT_EQ(fs.files.size(), 2u);
    EXPECT_EQ(controls.message.Str(), kCompletion);
    EXPECT_EQ(controls.caption, Text(kStart.c_str()));
    // Outer caption, nested caption, nested work and caption, then the outer ends.
    EXPECT_EQ(controls.writes.front(), "caption:" + kGenerating);
    EXPECT_EQ(controls.writes[1], "caption:" + kGenerating);
    EXPECT_EQ(controls.writes.back(), "caption:" + kStart);
}

TEST(ExtractBetweenTest, Table) {
    const std::string left = "Products/MediaPlayer/' src='", right = "' width='0' height='0' autostart";
    struct Case { std::string text; std::string result; bool found; } cases[] = {
        {"..." + left + "X" + right + "...", "X", true},
        {"..." + left + "X" + right + right, "X", true},
        {"no left" + right, "\xCE\xB4\xD5\xD2\xB5\xBD\xD7\xF3\xB1\xDF\xC4\xDA\xC8\xDD", false},   // 未找到左边内容
        {left + "X", "\xCE\xB4\xD5\xD2\xB5\xBD\xD3\xD2\xB1\xDF\xC4\xDA\xC8\xDD", false},         // 未找到右边内容
        {"", "\xCE\xB4\xD5\xD2\xB5\xBD\xD7\xF3\xB1\xDF\xC4\xDA\xC8\xDD", false},
        {"products/mediaplayer/' src='X" + right, "\xCE\xB4\xD5\xD2\xB5\xBD\xD7\xF3\xB1\xDF\xC4\xDA\xC8\xDD", false},
        {right + left + "X", "", true},  // the right marker stands first: an empty cut
        {left + right, "", true},
    };
    for (const auto& c : cases) {
        bool found = !c.found;
        EXPECT_EQ(ExtractBetween(Text::Of(c.text), Text::Of(left), Text::Of(right), found).Str(), c.result) << c.text;
        EXPECT_EQ(found, c.found) << c.text;
    }
}

}  // namespace
