// Tarvinel's window as a user meets it: driven from outside through its window handles and real
// input, and read from inside through the probe.
#include <gtest/gtest.h>

#include <array>

#include "Harness.h"

namespace {

constexpr COLORREF kSkinFrame = RGB(164, 185, 127);

struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    RECT rect;
    const wchar_t* text;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kEdit = kChild | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;

// Stacking order, top first.
const std::array<ExpectedControl, 7> kControls{{
    {kEdit2, L"Edit", kEdit | ES_READONLY, WS_EX_CLIENTEDGE, {18, 238, 288, 304}, L""},
    {kButton2, L"Button", kButton, 0, {213, 178, 273, 208}, L"\u64AD\u653E"},                     // 播放
    {kButton1, L"Button", kButton, 0, {96, 178, 179, 208}, L"\u5F00\u59CB\u751F\u6210"},          // 开始生成
    {kEdit1, L"Edit", kEdit | WS_VSCROLL, WS_EX_CLIENTEDGE, {19, 19, 288, 152}, L""},
    {kGroup1, L"Button", kGroup, 0, {8, 0, 296, 160}, L"\u5185\u5BB9\u5E93"},                     // 内容库
    {kGroup2, L"Button", kGroup, 0, {7, 161, 296, 216}, L"\u64CD\u4F5C"},                        // 操作
    {kGroup3, L"Button", kGroup, 0, {7, 219, 296, 312}, L"\u64CD\u4F5C\u6D88\u606F"},            // 操作消息
}};

const std::wstring kSimSunUtf8Face = L"\u5B8B\u4F53";  // 宋体

std::string Utf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    std::wstring s = name;
    const size_t bang = s.rfind(L'!');
    return bang == std::wstring::npos ? s : s.substr(bang + 1);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.Started()) << "Tarvinel's window did not appear"; }

    HWND C(int id) const { return app.Control(id); }

    void ExpectClosesWithZero(const char* how) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(app.Window()); }, 3000)) << how << ": the window stayed";
        DWORD code = 12345;
        ASSERT_TRUE(app.WaitExit(10000, code)) << how << ": the process did not end";
        EXPECT_EQ(code, 0u) << how;
    }

    App app;
};

TEST_F(WindowTest, FrameSizePlaceAndClass) {
    const RECT r = ScreenRect(app.Window());
    EXPECT_EQ(r.right - r.left, 317);
    EXPECT_EQ(r.bottom - r.top, 364);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 317) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 364) / 2);
    EXPECT_EQ(WindowText(app.Window()), L"Tarvinel beta");

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(app.Window(), GWL_STYLE));
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), DWORD{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN})
        << std::hex << style;
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(app.Window(), GWL_EXSTYLE));
    // The system adds the window edge to every captioned window; nothing else may be there.
    EXPECT_EQ(exStyle & ~DWORD{WS_EX_WINDOWEDGE}, 0u) << std::hex << exStyle;
    EXPECT_EQ(GetWindow(app.Window(), GW_OWNER), nullptr);
    EXPECT_EQ(GetParent(app.Window()), nullptr);

    auto probe = app.Probe();
    ASSERT_FALSE(probe.empty()) << "the probe did not answer";
    EXPECT_EQ(probe["class.style"], std::to_string(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
    EXPECT_EQ(probe["class.background"], "0");
    EXPECT_EQ(probe["class.arrow"], "1");
    EXPECT_EQ(probe["window.defaultguifont"], "1");
    EXPECT_EQ(probe["big.icon"], "1");
    EXPECT_EQ(probe["small.icon"], "1");
    EXPECT_EQ(probe["big.iconbits"], "32");
    const std::wstring acp = EnvOr(L"TARVINEL_UI_EXPECT_ACP");
    if (!acp.empty()) {
        EXPECT_EQ(probe["acp"], Utf8(acp)) << "Tarvinel ran with another ANSI code page";
    }
}

TEST_F(WindowTest, ControlsInStackingOrderWithTheirSettings) {
    std::vector<HWND> stack;
    for (HWND c = GetWindow(app.Window(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) stack.push_back(c);
    ASSERT_EQ(stack.size(), kControls.size());
    for (size_t i = 0; i < kControls.size(); i++) {
        const ExpectedControl& e = kControls[i];
        SCOPED_TRACE(testing::Message() << "control " << e.id);
        HWND c = stack[i];
        EXPECT_EQ(GetDlgCtrlID(c), e.id);
        EXPECT_EQ(ClassOf(c), e.className);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(c, GWL_STYLE)), e.style)
            << std::hex << GetWindowLongPtrW(c, GWL_STYLE);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(c, GWL_EXSTYLE)), e.exStyle);
        const RECT r = ClientRectOf(c, app.Window());
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        EXPECT_EQ(WindowText(c), e.text);
        EXPECT_TRUE(IsWindowEnabled(c));
    }
    for (int id : {kEdit1, kEdit2}) {
        DWORD_PTR limit = 0;
        SendMessageTimeoutW(C(id), EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 3000, &limit);
        EXPECT_GE(limit, 0x7FFFFFFEu) << id;
        DWORD start = 1, end = 1;
        SendMessageTimeoutW(C(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end),
                            SMTO_ABORTIFHUNG, 3000, nullptr);
        EXPECT_EQ(start, 0u) << id;
        EXPECT_EQ(end, 0u) << id;
    }
}

TEST_F(WindowTest, EveryControlHasTheSongtiFont) {
    auto probe = app.Probe();
    ASSERT_FALSE(probe.empty());
    for (const ExpectedControl& e : kControls) {
        const std::string p = "control." + std::to_string(e.id) + ".";
        SCOPED_TRACE(p);
        EXPECT_EQ(probe[p + "font"], "1");
        EXPECT_EQ(probe[p + "face"], Utf8(kSimSunUtf8Face));
        EXPECT_EQ(probe[p + "height"], "-14");
        EXPECT_EQ(probe[p + "width"], "0");
        EXPECT_EQ(probe[p + "weight"], "400");
        EXPECT_EQ(probe[p + "italic"], "0");
        EXPECT_EQ(probe[p + "underline"], "0");
        EXPECT_EQ(probe[p + "strikeout"], "0");
        EXPECT_EQ(probe[p + "charset"], "134");
        EXPECT_EQ(probe[p + "outprecision"], "3");
        EXPECT_EQ(probe[p + "clipprecision"], "2");
        EXPECT_EQ(probe[p + "quality"], "1");
        EXPECT_EQ(probe[p + "pitchfamily"], "2");
    }
}

TEST_F(WindowTest, MenuHoldsThePublisherItem) {
    auto probe = app.Probe();
    ASSERT_FALSE(probe.empty());
    EXPECT_EQ(probe["menu.count"], "1");
    EXPECT_EQ(probe["menu.0.text"], Utf8(L"\u83DC\u5355"));  // 菜单
    EXPECT_EQ(probe["menu.0.submenu"], "1");
    EXPECT_EQ(probe["menu.0.state"], "0");
    EXPECT_EQ(probe["menu.0.0.text"], Utf8(L"\u5B98\u65B9\u7F51\u7AD9"));  // 官方网站
    EXPECT_EQ(probe["menu.0.0.type"], "0");   // a plain string item: no separator, no owner drawing
    EXPECT_EQ(probe["menu.0.0.state"], "0");  // enabled, unchecked
    EXPECT_EQ(probe["menu.0.0.id"], std::to_string(kPublisherItem));
    EXPECT_EQ(probe["menu.0.0.submenu"], "-1");

    // Chosen with the keyboard, as a user would: Alt opens the menu bar, Enter the popup, Enter the item.
    app.Foreground();
    Key(VK_MENU);
    Key(VK_RETURN);
    app.Settle();
    Key(VK_RETURN);
    app.Settle(300);
    EXPECT_EQ(app.Probe()["clicks." + std::to_string(kPublisherItem)], "1");
    EXPECT_TRUE(IsWindowVisible(app.Window()));
}

TEST_F(WindowTest, StartsWithFocusInTheInputBox) {
    EXPECT_EQ(app.Focus(), C(kEdit1));
    EXPECT_EQ(GetForegroundWindow(), app.Window());
    EXPECT_EQ(WindowText(C(kEdit1)), L"");
    EXPECT_EQ(WindowText(C(kEdit2)), L"");
}

TEST_F(WindowTest, TabAndShiftTabWalkTheRing) {
    const std::array<int, 4> forward{kButton1, kButton2, kEdit2, kEdit1};
    for (int id : forward) {
        Key(VK_TAB);
        app.Settle();
        EXPECT_EQ(app.Focus(), C(id)) << "Tab to " << id;
    }
    const std::array<int, 4> backward{kEdit2, kButton2, kButton1, kEdit1};
    for (int id : backward) {
        Key(VK_TAB, true);
        app.Settle();
        EXPECT_EQ(app.Focus(), C(id)) << "Shift+Tab to " << id;
    }
    // Ctrl+Tab, which an edit box would take as a tab character, moves on as well.
    Key(VK_TAB, false, true);
    app.Settle();
    EXPECT_EQ(app.Focus(), C(kButton1));
    EXPECT_EQ(WindowText(C(kEdit1)), L"") << "a tab was typed into the input box";
}

TEST_F(WindowTest, EnterBreaksLinesInTheInputBoxOnlyAndNeverMovesTheFocus) {
    TypeText(L"ab");
    Key(VK_RETURN);
    TypeText(L"c\u4F60");
    app.Settle();
    EXPECT_EQ(WindowText(C(kEdit1)), L"ab\r\nc\u4F60");
    EXPECT_EQ(app.Focus(), C(kEdit1));

    SetWindowTextRemote(C(kEdit2), L"message");
    for (int id : {kButton1, kButton2, kEdit2}) {
        Key(VK_TAB);
        app.Settle();
        ASSERT_EQ(app.Focus(), C(id));
        Key(VK_RETURN);
        app.Settle(250);
        EXPECT_EQ(app.Focus(), C(id)) << "Enter moved the focus from " << id;
    }
    auto probe = app.Probe();
    EXPECT_EQ(probe.count("clicks." + std::to_string(kButton1)), 0u) << "Enter clicked 开始生成";
    EXPECT_EQ(probe.count("clicks." + std::to_string(kButton2)), 0u) << "Enter clicked 播放";
    EXPECT_EQ(WindowText(C(kEdit2)), L"message");
    EXPECT_EQ(WindowText(C(kEdit1)), L"ab\r\nc\u4F60");
    Key(VK_F1);
    app.Settle();
    EXPECT_TRUE(IsWindowVisible(app.Window()));
    EXPECT_EQ(app.Focus(), C(kEdit2));
}

TEST_F(WindowTest, SpaceClicksTheFocusedButton) {
    Key(VK_TAB);
    Key(VK_TAB);
    app.Settle();
    ASSERT_EQ(app.Focus(), C(kButton2));
    Key(VK_SPACE);
    app.Settle(300);
    EXPECT_EQ(app.Probe()["clicks." + std::to_string(kButton2)], "1");
    Key(VK_TAB, true);
    app.Settle();
    ASSERT_EQ(app.Focus(), C(kButton1));
    Key(VK_SPACE);
    // 开始生成 runs a generation that finds no service; it ends on its own.
    EXPECT_TRUE(WaitUntil([&] { return app.Probe()["clicks." + std::to_string(kButton1)] == "1"; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(C(kButton1)) == L"\u5F00\u59CB\u751F\u6210"; }, 30000));
}

TEST_F(WindowTest, MessageBoxIsReadOnlyButSelectable) {
    SetWindowTextRemote(C(kEdit2), L"line one\r\nline two");
    Key(VK_TAB, true);
    app.Settle();
    ASSERT_EQ(app.Focus(), C(kEdit2));
    TypeText(L"xyz\u4F60");
    Key(VK_BACK);
    Key(VK_DELETE);
    Key(VK_RETURN);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        const std::wstring pasted = L"PASTED";
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
        memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }
    Key('V', false, true);
    Key(VK_INSERT, true);
    app.Settle(250);
    EXPECT_EQ(WindowText(C(kEdit2)), L"line one\r\nline two");

    Key(VK_HOME, false, true);
    Key(VK_END, true);
    Key('C', false, true);
    app.Settle(250);
    std::wstring copied;
    ASSERT_TRUE(WaitUntil([&] { return OpenClipboard(nullptr); }, 3000));
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        copied = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(copied, L"line one");
}

TEST_F(WindowTest, LongTextsWrap) {
    std::wstring longText;
    for (int i = 0; i < 60; i++) longText += L"\u4F60\u597D word ";
    SetWindowTextRemote(C(kEdit1), longText);
    SetWindowTextRemote(C(kEdit2), longText);
    for (int id : {kEdit1, kEdit2}) {
        DWORD_PTR lines = 0;
        SendMessageTimeoutW(C(id), EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 3000, &lines);
        EXPECT_GT(lines, 5u) << id;
    }
    EXPECT_TRUE(GetWindowLongPtrW(C(kEdit1), GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongPtrW(C(kEdit2), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
}

TEST_F(WindowTest, MinimizesAndMovesButNeverMaximizesOrResizes) {
    const RECT before = ScreenRect(app.Window());
    // No sizing border anywhere on the frame.
    for (POINT p : {POINT{before.right - 1, (before.top + before.bottom) / 2}, POINT{before.right - 1, before.bottom - 1},
                    POINT{(before.left + before.right) / 2, before.bottom - 1}, POINT{before.left, before.top}}) {
        DWORD_PTR hit = 0;
        SendMessageTimeoutW(app.Window(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), SMTO_ABORTIFHUNG, 3000, &hit);
        EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << "sizing hit " << hit;
    }
    Drag(POINT{before.right - 1, before.bottom - 1}, POINT{before.right + 60, before.bottom + 60});
    app.Settle();
    RECT after = ScreenRect(app.Window());
    EXPECT_EQ(after.right - after.left, 317);
    EXPECT_EQ(after.bottom - after.top, 364);

    // Double-clicking the caption does not maximize; neither does the system command.
    ClickAt(POINT{before.left + 120, before.top + 10}, true);
    app.Settle();
    PostMessageW(app.Window(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    app.Settle();
    EXPECT_FALSE(IsZoomed(app.Window()));
    after = ScreenRect(app.Window());
    EXPECT_EQ(after.right - after.left, 317);
    EXPECT_EQ(after.bottom - after.top, 364);

    // The caption moves it.
    Drag(POINT{before.left + 120, before.top + 10}, POINT{before.left + 60, before.top + 40});
    app.Settle();
    after = ScreenRect(app.Window());
    EXPECT_EQ(after.left, before.left - 60);
    EXPECT_EQ(after.top, before.top + 30);
    EXPECT_EQ(after.right - after.left, 317);

    // The minimize button, found where the frame says it is.
    POINT minimize{-1, -1};
    for (int x = after.right - 1; x > after.left && minimize.x < 0; x--) {
        DWORD_PTR hit = 0;
        SendMessageTimeoutW(app.Window(), WM_NCHITTEST, 0, MAKELPARAM(x, after.top + 12), SMTO_ABORTIFHUNG, 3000, &hit);
        if (hit == HTMINBUTTON) minimize = POINT{x - 3, after.top + 12};
    }
    ASSERT_GE(minimize.x, 0) << "no minimize button";
    ClickAt(minimize);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(app.Window()) != FALSE; }, 3000));
    PostMessageW(app.Window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(app.Window()); }, 3000));
}

TEST_F(WindowTest, FocusComesBackAfterDeactivation) {
    Key(VK_TAB);
    Key(VK_TAB);
    app.Settle();
    ASSERT_EQ(app.Focus(), C(kButton2));
    HWND other = CreateWindowExW(0, L"Static", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(WaitUntil([&] { SetForegroundWindow(other); return GetForegroundWindow() == other; }, 3000));
    app.Settle();
    DestroyWindow(other);
    app.Foreground();
    EXPECT_TRUE(WaitUntil([&] { return app.Focus() == C(kButton2); }, 3000));
}

TEST_F(WindowTest, SkinFramesEveryControlOnTheFace) {
    app.Settle(300);
    const RECT window = ScreenRect(app.Window());
    const std::vector<uint8_t> shot = Capture(window);
    EXPECT_TRUE(SaveCapture(window, L"window-at-start.png"));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto at = [&](HWND c, int dx, int dy) {
        const RECT r = ScreenRect(c);
        return PixelAt(shot, window, (dx < 0 ? r.right + dx : r.left + dx), (dy < 0 ? r.bottom + dy : r.top + dy));
    };
    for (int id : {kEdit1, kEdit2, kButton1, kButton2}) {
        const RECT r = ScreenRect(C(id));
        const int midX = (r.right - r.left) / 2;
        const int midY = (r.bottom - r.top) / 2;
        EXPECT_EQ(at(C(id), midX, 0), kSkinFrame) << "top edge of " << id;
        EXPECT_EQ(at(C(id), midX, -1), kSkinFrame) << "bottom edge of " << id;
        EXPECT_EQ(at(C(id), 0, midY), kSkinFrame) << "left edge of " << id;
        EXPECT_EQ(at(C(id), -1, midY), kSkinFrame) << "right edge of " << id;
    }
    for (int id : {kGroup1, kGroup2, kGroup3}) {
        const RECT r = ScreenRect(C(id));
        const int midY = (r.bottom - r.top) / 2;
        EXPECT_EQ(at(C(id), 0, midY), kSkinFrame) << "left edge of " << id;
        EXPECT_EQ(at(C(id), -1, midY), kSkinFrame) << "right edge of " << id;
        EXPECT_EQ(at(C(id), (r.right - r.left) - 20, -1), kSkinFrame) << "bottom edge of " << id;
        EXPECT_EQ(at(C(id), 3, midY), face) << "inside of " << id;
    }
    // The client area between the group boxes and at the window's foot.
    RECT clientArea{};
    GetClientRect(app.Window(), &clientArea);
    POINT client{3, clientArea.bottom - 2};
    ClientToScreen(app.Window(), &client);
    EXPECT_EQ(PixelAt(shot, window, client.x, client.y), face);
    POINT between{150, 217};
    ClientToScreen(app.Window(), &between);
    EXPECT_EQ(PixelAt(shot, window, between.x, between.y), face);
}

struct CloseCase {
    const char* name;
    int focusTabs;  // Tab presses before closing
    int how;        // 0 Esc, 1 Alt+F4, 2 the close button, 3 the system menu's Close
};

class CloseTest : public WindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, EndsTheProcessWithZero) {
    const CloseCase& c = GetParam();
    TypeText(L"\u4F60\u597D typed");
    for (int i = 0; i < c.focusTabs; i++) Key(VK_TAB);
    app.Settle();
    switch (c.how) {
    case 0: Key(VK_ESCAPE); break;
    case 1: Key(VK_F4, false, false, true); break;
    case 2: {
        const RECT r = ScreenRect(app.Window());
        POINT close{-1, -1};
        for (int x = r.right - 1; x > r.left && close.x < 0; x--) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutW(app.Window(), WM_NCHITTEST, 0, MAKELPARAM(x, r.top + 12), SMTO_ABORTIFHUNG, 3000, &hit);
            if (hit == HTCLOSE) close = POINT{x - 4, r.top + 12};
        }
        ASSERT_GE(close.x, 0) << "no close button";
        ClickAt(close);
        break;
    }
    case 3:
        Key(VK_SPACE, false, false, true);
        app.Settle();
        Key('C');
        break;
    }
    ExpectClosesWithZero(c.name);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseTest,
                         ::testing::Values(CloseCase{"EscInInput", 0, 0}, CloseCase{"EscOnStart", 1, 0},
                                           CloseCase{"EscOnPlay", 2, 0}, CloseCase{"EscInMessage", 3, 0},
                                           CloseCase{"AltF4", 0, 1}, CloseCase{"CloseButton", 0, 2},
                                           CloseCase{"SystemMenuClose", 1, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
