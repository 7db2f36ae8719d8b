// Generations started by real clicks on 开始生成 against the scripted speech service, which takes
// its time over each answer: the caption while the answer is read, a second click in that time, and
// the window closed in that time.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "Harness.h"

namespace {

const std::wstring kStart = L"\u5F00\u59CB\u751F\u6210";       // 开始生成
const std::wstring kGenerating = L"\u751F\u6210\u4E2D...";    // 生成中...
const std::wstring kFinished = L"\u751F\u6210\u5B8C\u6BD5\uFF01";  // 生成完毕！
const std::wstring kFolder = L"\\\u751F\u6210\u97F3\u9891\u6D4B\u8BD5\u6587\u4EF6\u5939";  // \生成音频测试文件夹
constexpr size_t kAudioSize = 417 * 12;

std::vector<std::string> ServiceLog() {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(EnvOr(L"TARVINEL_UI_SERVER_LOG")));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class GenerationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(EnvOr(L"TARVINEL_UI_SERVER_LOG").empty()) << "run through tests/windows/run_with_speech_host.sh";
        ASSERT_TRUE(app.Started());
        TypeText(L"\u4F60\u597D");  // 你好
        app.Settle();
        // The service numbers its answers across the whole run; this test's come after these.
        seen_ = ServiceLog().size();
        for (const std::string& line : ServiceLog()) {
            if (line.rfind("page ", 0) == 0 && line.rfind("page-", 0) != 0) pagesBefore_++;
        }
    }
    // This test's log lines, with its answers numbered from 1.
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        const auto all = ServiceLog();
        for (size_t i = seen_; i < all.size(); i++) {
            std::string line = all[i];
            const size_t space = line.find(' ');
            const size_t end = line.find(' ', space + 1);
            const int n = std::stoi(line.substr(space + 1, end - space - 1)) - pagesBefore_;
            lines.push_back(line.substr(0, space + 1) + std::to_string(n) + (end == std::string::npos ? "" : line.substr(end)));
        }
        return lines;
    }
    bool Logged(const std::string& start) const {
        const auto lines = Log();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
    }
    std::wstring Caption() { return WindowText(app.Control(kButton1)); }
    bool CaptionBecomes(const std::wstring& caption, int milliseconds) {
        return WaitUntil([&] { return Caption() == caption; }, milliseconds);
    }
    std::vector<std::wstring> Audio() { return FilesIn(app.RunFolder() + kFolder); }

    App app;
    size_t seen_ = 0;
    int pagesBefore_ = 0;
};

TEST_F(GenerationTest, CaptionTellsOfTheJobWhileTheAnswerIsRead) {
    ClickCentre(app.Control(kButton1));
    ASSERT_TRUE(CaptionBecomes(kGenerating, 5000));
    EXPECT_TRUE(Logged("page 1 sex=201&speed=0&ment=%E4%BD%A0%E5%A5%BD"));
    EXPECT_FALSE(Logged("page-done 1")) << "the answer was over before the caption was seen";
    SaveCapture(ScreenRect(app.Window()), L"window-during-generation.png");

    ASSERT_TRUE(CaptionBecomes(kStart, 30000));
    EXPECT_TRUE(Logged("page-done 1"));
    EXPECT_TRUE(Logged("audio 1"));
    const std::wstring message = WindowText(app.Control(kEdit2));
    EXPECT_EQ(message.rfind(L"20", 0), 0u) << "the message begins with the time";
    EXPECT_NE(message.find(kFinished), std::wstring::npos);
    const auto audio = Audio();
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].rfind(L"\u751F\u6210\u97F3\u9891\u6D4B\u8BD5", 0), 0u);  // 生成音频测试...
    EXPECT_EQ(ReadFileBytes(app.RunFolder() + kFolder + L"\\" + audio[0]).size(), kAudioSize);
    app.Settle(300);
    SaveCapture(ScreenRect(app.Window()), L"window-after-generation.png");
}

TEST_F(GenerationTest, SecondClickDuringTheAnswerRunsANestedGeneration) {
    ClickCentre(app.Control(kButton1));
    ASSERT_TRUE(CaptionBecomes(kGenerating, 5000));
    ASSERT_TRUE(WaitUntil([&] { return Logged("page 1"); }));
    ClickCentre(app.Control(kButton1));
    ASSERT_TRUE(WaitUntil([&] { return Logged("page 2"); }, 5000)) << "the second click started nothing";
    ASSERT_TRUE(WaitUntil([&] { return Audio().size() == 2 && Caption() == kStart; }, 40000));
    // The inner generation fetched its audio before the outer one went on to fetch its own.
    std::vector<std::string> fetched;
    for (const std::string& line : Log()) {
        if (line.rfind("audio ", 0) == 0) fetched.push_back(line);
    }
    EXPECT_EQ(fetched, (std::vector<std::string>{"audio 2", "audio 1"}));
    EXPECT_NE(WindowText(app.Control(kEdit2)).find(kFinished), std::wstring::npos);
    for (const std::wstring& name : Audio()) {
        EXPECT_EQ(ReadFileBytes(app.RunFolder() + kFolder + L"\\" + name).size(), kAudioSize);
    }
}

TEST_F(GenerationTest, ClosingDuringTheAnswerEndsTheProcessWithZero) {
    ClickCentre(app.Control(kButton1));
    ASSERT_TRUE(CaptionBecomes(kGenerating, 5000));
    Key(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(app.Window()); }, 3000)) << "the close waited for the generation";
    EXPECT_FALSE(Logged("page-done 1")) << "the answer was over before the close";
    DWORD code = 12345;
    ASSERT_TRUE(app.WaitExit(30000, code)) << "the process did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitUntil([] { return CountProcesses(L"tarvinel.exe") == 0; }, 5000)) << "a process was left behind";
}

}  // namespace
