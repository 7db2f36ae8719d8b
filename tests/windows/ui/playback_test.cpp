// Playback and the publisher link through Tarvinel's window. ctest gives this driver, and the Tarvinel
// it starts, the ALSA file device as their sound card (see CMakeLists.txt): the capture file grows
// while a playback runs, faster than real time, and stops when it ends or is stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../FakeBrowser.h"
#include "Harness.h"

namespace {

const std::wstring kPlay = L"\u64AD\u653E";  // 播放
const std::wstring kCapture = L"" TARVINEL_UI_AUDIO_CAPTURE;
// The speech fixture: 3.150 s at 22.05 kHz mono, 16-bit once decoded.
constexpr double kFixtureBytes = 3.150 * 22050 * 2;
constexpr int kRepeats = 20;
constexpr double kLongBytes = kFixtureBytes * kRepeats;

long long CaptureSize() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(kCapture.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// The capture's size once it has stopped changing for `still` milliseconds, or -2 when it still
// grows at the limit. Every size seen goes into `seen`.
long long SettledCaptureSize(int still, int limit, std::vector<long long>& seen) {
    long long last = CaptureSize();
    seen.push_back(last);
    DWORD since = GetTickCount();
    for (const DWORD end = GetTickCount() + static_cast<DWORD>(limit); static_cast<int>(end - GetTickCount()) > 0;) {
        Sleep(50);
        const long long now = CaptureSize();
        seen.push_back(now);
        if (now != last) {
            last = now;
            since = GetTickCount();
        } else if (static_cast<int>(GetTickCount() - since) >= still) {
            return last;
        }
    }
    return -2;
}

// The fixture's frames written kRepeats times over into the run folder: a minute of speech.
void WriteLongSpeech(const std::wstring& path) {
    const std::string mp3 = ReadFileBytes(L"" TARVINEL_UI_MP3_FIXTURE);
    ASSERT_GT(mp3.size(), 10u) << "no MP3 fixture";
    size_t tag = 0;
    if (mp3.compare(0, 3, "ID3") == 0) {
        tag = 10 + (static_cast<size_t>(mp3[6] & 0x7F) << 21 | static_cast<size_t>(mp3[7] & 0x7F) << 14 |
                    static_cast<size_t>(mp3[8] & 0x7F) << 7 | static_cast<size_t>(mp3[9] & 0x7F));
    }
    std::string out;
    for (int i = 0; i < kRepeats; i++) out.append(mp3, tag, std::string::npos);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, out.size());
}

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Started()) << "Tarvinel's window did not appear";
        ASSERT_EQ(WindowText(app.Control(kButton2)), kPlay);
        DeleteFileW(kCapture.c_str());
        ASSERT_EQ(CaptureSize(), -1) << "the capture could not be emptied";
    }

    // Starts the long speech by name through 编辑框2 and a click on 播放; true once it is heard.
    bool StartLongSpeech() {
        WriteLongSpeech(app.RunFolder() + L"\\long.mp3");
        SetWindowTextRemote(app.Control(kEdit2), L"long.mp3");
        ClickCentre(app.Control(kButton2));
        return WaitUntil([] { return CaptureSize() > 0; }, 10000);
    }

    App app;
};

TEST_F(PlaybackTest, PlayWithAnEmptyMessageLeavesTheRunningPlaybackAlone) {
    ASSERT_TRUE(StartLongSpeech()) << "the named file was not played";
    const long long before = CaptureSize();
    ASSERT_LT(before, kLongBytes / 2) << "the speech was nearly over before the second click";

    SetWindowTextRemote(app.Control(kEdit2), L"");
    ClickCentre(app.Control(kButton2));
    app.Settle();

    std::vector<long long> seen;
    const long long whole = SettledCaptureSize(1500, 120000, seen);
    ASSERT_NE(whole, -2) << "the playback did not end";
    EXPECT_NEAR(static_cast<double>(whole), kLongBytes, kLongBytes * 0.05) << "the speech was not played to its end";
    for (size_t i = 1; i < seen.size(); i++) {
        ASSERT_GE(seen[i], seen[i - 1]) << "the device was opened afresh: the playback was restarted";
    }
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(WindowText(app.Control(kEdit2)), L"");
}

TEST_F(PlaybackTest, ClosingTheWindowStopsTheSoundAndExitsWithZero) {
    ASSERT_TRUE(StartLongSpeech()) << "the named file was not played";
    ASSERT_LT(CaptureSize(), kLongBytes / 2) << "the speech was nearly over before the window was closed";

    app.Foreground();
    Key(VK_F4, false, false, true);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(app.Window()); }, 5000)) << "the window stayed";
    DWORD code = 12345;
    ASSERT_TRUE(app.WaitExit(10000, code)) << "the process did not end";
    EXPECT_EQ(code, 0u);

    std::vector<long long> seen;
    const long long played = SettledCaptureSize(1000, 10000, seen);
    EXPECT_GT(played, 0);
    EXPECT_LT(played, kLongBytes / 2) << "the sound went on after the window was closed";
}

TEST_F(PlaybackTest, PublisherItemOpensTheSiteAndLeavesTheWindowAsItWas) {
    SetWindowTextRemote(app.Control(kEdit1), L"\u4F60\u597D");  // 你好
    SetWindowTextRemote(app.Control(kEdit2), L"long.mp3");
    const std::vector<int> ids{kEdit1, kEdit2, kButton1, kButton2, kGroup1, kGroup2, kGroup3};
    std::vector<std::wstring> before;
    for (int id : ids) before.push_back(WindowText(app.Control(id)));
    const std::wstring title = WindowText(app.Window());

    FakeBrowser browser(L"" TARVINEL_UI_FAKE_BROWSER, L"" TARVINEL_UI_FAKE_BROWSER_LOG);
    PostMessageW(app.Window(), WM_COMMAND, MAKEWPARAM(kPublisherItem, 0), 0);
    EXPECT_EQ(browser.Opened(std::chrono::seconds(20)), "http://www.morvast.example/\n");

    app.Settle();
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(IsWindowVisible(app.Window()));
    EXPECT_EQ(WindowText(app.Window()), title);
    for (size_t i = 0; i < ids.size(); i++) EXPECT_EQ(WindowText(app.Control(ids[i])), before[i]) << ids[i];
    EXPECT_EQ(CaptureSize(), -1) << "the link played something";
}

}  // namespace
