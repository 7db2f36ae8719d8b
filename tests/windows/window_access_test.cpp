// The control access the main window gives the handlers, and a click of 开始生成 that runs a whole
// generation through it: at rest, nested, and with the window closed under it.
#include <gtest/gtest.h>

#include <string>

#include "app/MainWindow.h"
#include "http/FakeInternet.h"
#include "speech/FakeSpeechPlatform.h"
#include "speech/Generation.h"
#include "sys/Win.h"

namespace {

const char kStart[] = "\xBF\xAA\xCA\xBC\xC9\xFA\xB3\xC9";          // 开始生成
const char kGenerating[] = "\xC9\xFA\xB3\xC9\xD6\xD0...";         // 生成中...
const char kFinished[] = "\xC9\xFA\xB3\xC9\xCD\xEA\xB1\xCF\xA3\xA1";  // 生成完毕！

std::string WholeMp3() {
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\xC4';
    std::string audio;
    for (int i = 0; i < 4; i++) audio += frame;
    return audio;
}

class WindowAccessTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr))); }
    void TearDown() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND C(layout::Control c) const { return window.Control(c); }
    void Click(layout::Control button) {
        SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(layout::kControls[button].id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(C(button)));
    }
    static bool QuitPosted(int& code) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
        code = static_cast<int>(msg.wParam);
        return true;
    }

    MainWindow window;
};

TEST_F(WindowAccessTest, ReadsAndWritesTheThreeValuesInCodePage936) {
    ControlAccess& access = window.Controls();
    EXPECT_EQ(access.StartCaption(), Text(kStart));
    EXPECT_TRUE(access.InputText().IsAbsent());
    EXPECT_TRUE(access.MessageText().IsAbsent());

    access.SetStartCaption(kGenerating);
    EXPECT_EQ(access.StartCaption(), Text(kGenerating));
    wchar_t caption[32] = {};
    GetWindowTextW(C(layout::kButton1), caption, 32);
    EXPECT_STREQ(caption, L"\u751F\u6210\u4E2D...");

    // 第一行, CR LF, 第二行, typed into the input box.
    SetWindowTextW(C(layout::kEdit1), L"\u7B2C\u4E00\u884C\r\n\u7B2C\u4E8C\u884C");
    EXPECT_EQ(access.InputText(), Text("\xB5\xDA\xD2\xBB\xD0\xD0\r\n\xB5\xDA\xB6\xFE\xD0\xD0"));

    std::string longMessage;
    for (int i = 0; i < 40; i++) longMessage += "line " + std::to_string(i) + "\r\n";
    access.SetMessageText(Text::Of(longMessage));
    SendMessageW(C(layout::kEdit2), EM_SETSEL, 30, 30);
    access.SetMessageText("one\r\ntwo\r\n\xC8\xFD");  // 三
    EXPECT_EQ(access.MessageText(), Text("one\r\ntwo\r\n\xC8\xFD"));
    EXPECT_EQ(SendMessageW(C(layout::kEdit2), EM_GETLINECOUNT, 0, 0), 3);
    DWORD start = 1, end = 1;
    SendMessageW(C(layout::kEdit2), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(SendMessageW(C(layout::kEdit2), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

// Refuses the creation of windows of one class on this thread, as a system out of resources would.
class RefuseCreation {
public:
    explicit RefuseCreation(const wchar_t* className) {
        refused_ = className;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~RefuseCreation() { UnhookWindowsHookEx(hook_); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            wchar_t name[64] = {};
            GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
            if (lstrcmpiW(name, refused_) == 0) return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline const wchar_t* refused_ = nullptr;
    HHOOK hook_;
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(MainWindowCreation, FailsWholeWhenTheWindowOrAControlIsRefused) {
    MSG stale;
    while (PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }
    for (const wchar_t* refused : {L"TarvinelMainWindow", L"Edit", L"Button"}) {
        RefuseCreation refuse(refused);
        MainWindow window;
        EXPECT_FALSE(window.Create(GetModuleHandleW(nullptr))) << refused;
        EXPECT_EQ(window.Handle(), nullptr);
        EXPECT_TRUE(window.Controls().InputText().IsAbsent());
        int left = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&left));
        EXPECT_EQ(left, 0) << "a half-made window was left";
        MSG quit;
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the fatal box would close at once";
    }
}

class GenerationThroughTheWindow : public WindowAccessTest {
protected:
    void SetUp() override {
        WindowAccessTest::SetUp();
        internet.bodyChunks = {"<html>Products/MediaPlayer/' src='", "http://audio/a.mp3' width='0' height='0' autostart></html>"};
        downloader.served["http://audio/a.mp3"] = WholeMp3();
        SetWindowTextW(C(layout::kEdit1), L"\u4F60\u597D");
    }
    MemoryFileSystem files;
    MemoryDownloader downloader{files};
    FakeInternet internet;
};

TEST_F(GenerationThroughTheWindow, CaptionShowsTheJobAndTheMessageItsEnd) {
    std::string captionDuringRead;
    internet.onPump = [&] { captionDuringRead = window.Controls().StartCaption().Str(); };
    Click(layout::kButton1);
    EXPECT_EQ(captionDuringRead, kGenerating);
    EXPECT_EQ(window.Controls().StartCaption(), Text(kStart));
    EXPECT_NE(window.Controls().MessageText().Str().find(kFinished), std::string::npos);
    EXPECT_EQ(internet.Count("InternetOpenA"), 1);
}

TEST_F(GenerationThroughTheWindow, SecondClickDuringTheReadRunsANestedGeneration) {
    int pumps = 0;
    internet.onPump = [&] {
        if (++pumps == 1) {
            // The nested request gets an answer of its own; the outer one reads the rest of its own.
            auto outer = internet.bodyChunks;
            internet.bodyChunks = {"<html>Products/MediaPlayer/' src='http://audio/a.mp3' width='0' height='0' autostart>"};
            Click(layout::kButton1);
            internet.bodyChunks = outer;
            // The nested generation has ended: its caption is back before the first one goes on.
            EXPECT_EQ(window.Controls().StartCaption(), Text(kStart));
        }
    };
    Click(layout::kButton1);
    EXPECT_EQ(internet.Count("InternetOpenA"), 2);
    EXPECT_EQ(downloader.calls.size(), 2u);
    EXPECT_EQ(window.Controls().StartCaption(), Text(kStart));
    EXPECT_NE(window.Controls().MessageText().Str().find(kFinished), std::string::npos);
}

TEST_F(GenerationThroughTheWindow, ClosingTheWindowDuringTheReadLetsTheJobEndQuietly) {
    HWND hwnd = window.Handle();
    internet.onPump = [&] {
        if (!IsWindow(hwnd)) return;
        DestroyWindow(hwnd);
        // What a message loop of the system's own does with the quit message the close posted.
        MSG taken;
        PeekMessageW(&taken, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    };
    Click(layout::kButton1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window.Handle(), nullptr);
    // The job ran to its end: the audio was fetched and kept, though there was no box to show it.
    ASSERT_EQ(downloader.calls.size(), 1u);
    EXPECT_EQ(files.files.size(), 1u);
    EXPECT_TRUE(window.Controls().MessageText().IsAbsent());
    EXPECT_TRUE(window.Controls().StartCaption().IsAbsent());
    window.Controls().SetMessageText("ignored");
    window.Controls().SetStartCaption("ignored");
    int code = -1;
    EXPECT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 0);
}

}  // namespace
