// PumpEvents on a real message queue.
#include <gtest/gtest.h>

#include <vector>

#include "sys/MessageLoop.h"
#include "sys/Owner.h"
#include "util/Pump.h"

namespace {

constexpr UINT kPlain = WM_APP + 1;
constexpr UINT kChain = WM_APP + 2;  // posts the next link until wParam reaches 5
constexpr UINT kConsumed = WM_APP + 3;

std::vector<UINT> g_seen;
std::vector<WPARAM> g_chain;

LRESULT CALLBACK Record(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kPlain || m == kConsumed || m == WM_CHAR) g_seen.push_back(m);
    if (m == kChain) {
        g_chain.push_back(wp);
        if (wp < 5) PostMessageW(w, kChain, wp + 1, 0);
    }
    return DefWindowProcW(w, m, wp, lp);
}

class PumpEventsTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Record;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarvinelPumpTest";
        RegisterClassW(&wc);
        window_.Reset(CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      wc.hInstance, nullptr));
        ASSERT_TRUE(window_);
        Drain();
        g_seen.clear();
        g_chain.clear();
    }
    void TearDown() override {
        SetPreTranslate(nullptr);
        Drain();
    }
    static void Drain() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // The next message waiting, without taking it; 0 for an empty queue.
    static UINT Next(WPARAM* wp = nullptr) {
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) return 0;
        if (wp) *wp = m.wParam;
        return m.message;
    }
    HWND W() const { return window_.Get(); }

    WindowOwner window_;
};

}  // namespace

TEST_F(PumpEventsTest, ReturnsAtOnceOnAnEmptyQueue) {
    PumpEvents();
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(Next(), 0u);
}

TEST_F(PumpEventsTest, LeavesAQuitRequestInTheQueue) {
    PostQuitMessage(7);
    PumpEvents();
    WPARAM code = 0;
    EXPECT_EQ(Next(&code), static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(code, 7u);
}

TEST_F(PumpEventsTest, HandlesWhatCameBeforeTheQuitAndNothingAfter) {
    PostMessageW(W(), kPlain, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 3, 0);
    PostMessageW(W(), kPlain, 1, 0);
    PumpEvents();
    EXPECT_EQ(g_seen, std::vector<UINT>{kPlain});
    EXPECT_EQ(Next(), static_cast<UINT>(WM_QUIT));
    PumpEvents();  // still nothing past the quit
    EXPECT_EQ(g_seen.size(), 1u);
}

TEST_F(PumpEventsTest, HandlesMessagesPostedWhileItRuns) {
    PostMessageW(W(), kChain, 0, 0);
    PumpEvents();
    EXPECT_EQ(g_chain, (std::vector<WPARAM>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Next(), 0u);
}

TEST_F(PumpEventsTest, TranslatesKeysAsTheMainLoopDoes) {
    PostMessageW(W(), WM_KEYDOWN, 'A', 1 | (MapVirtualKeyW('A', MAPVK_VK_TO_VSC) << 16));
    PumpEvents();
    EXPECT_EQ(g_seen, std::vector<UINT>{WM_CHAR}) << "the key press was not translated into a character";
}

TEST_F(PumpEventsTest, OffersEachMessageToThePreTranslationFirst) {
    SetPreTranslate([](MSG& m) { return m.message == kConsumed; });
    PostMessageW(W(), kConsumed, 0, 0);
    PostMessageW(W(), kPlain, 0, 0);
    PumpEvents();
    EXPECT_EQ(g_seen, std::vector<UINT>{kPlain});
}
