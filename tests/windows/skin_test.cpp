// The control skin on windows of this thread, rendered into memory DCs: which controls it takes,
// when it lets go, and what it draws.
#include "sys/Win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/Skin.h"
#include "app/SkinPaint.h"

namespace {

constexpr COLORREF kFrames[] = {RGB(123, 158, 189), RGB(164, 185, 127), RGB(198, 197, 215)};

HWND Make(const wchar_t* cls, DWORD style, HWND parent, int x = 0, int y = 0, int w = 80, int h = 24,
          DWORD exStyle = 0, const wchar_t* text = L"Text") {
    return CreateWindowExW(exStyle, cls, text, style | (parent ? WS_CHILD | WS_VISIBLE : 0), x, y, w, h, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A memory canvas the size of a window, filled with magenta so that untouched pixels show.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc_, &all, magenta);
        DeleteObject(magenta);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x < 0 ? width_ + x : x, y < 0 ? height_ + y : y); }
    RECT Area() const { return RECT{0, 0, width_, height_}; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Renders a control, frame included, as WM_PRINT asks it to.
Canvas Render(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    Canvas canvas(r.right - r.left, r.bottom - r.top);
    SendMessageW(control, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    return canvas;
}

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_INTERNET_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        parent = Make(L"Static", WS_OVERLAPPEDWINDOW, nullptr, 0, 0, 400, 400);
    }
    void TearDown() override {
        SkinControls(0);
        DestroyWindow(parent);
    }
    HWND parent = nullptr;
};

struct Candidate {
    const char* what;
    const wchar_t* cls;
    DWORD style;
    bool skinned;
};

const Candidate kCandidates[] = {
    {"push button", L"Button", BS_PUSHBUTTON, true},
    {"default push button", L"Button", BS_DEFPUSHBUTTON, true},
    {"check box", L"Button", BS_AUTOCHECKBOX, true},
    {"three-state box", L"Button", BS_AUTO3STATE, true},
    {"radio button", L"Button", BS_AUTORADIOBUTTON, true},
    {"group box", L"Button", BS_GROUPBOX, true},
    {"owner-drawn button", L"Button", BS_OWNERDRAW, false},
    {"bitmap button", L"Button", BS_PUSHBUTTON | BS_BITMAP, false},
    {"icon button", L"Button", BS_PUSHBUTTON | BS_ICON, false},
    {"edit box", L"Edit", ES_MULTILINE, true},
    {"drop-down combo box", L"ComboBox", CBS_DROPDOWN, true},
    {"drop-down list", L"ComboBox", CBS_DROPDOWNLIST, true},
    {"simple combo box", L"ComboBox", CBS_SIMPLE, false},
    {"up-down control", L"msctls_updown32", 0, true},
    {"static text", L"Static", 0, false},
    {"list box", L"ListBox", 0, false},
};

TEST_F(SkinTest, TakesTheListedControlsExistingAndCreatedLater) {
    std::vector<HWND> before;
    for (const Candidate& c : kCandidates) before.push_back(Make(c.cls, c.style, parent));
    SkinControls(2);
    EXPECT_EQ(SkinScheme(), 2);
    std::vector<HWND> after;
    for (const Candidate& c : kCandidates) after.push_back(Make(c.cls, c.style, parent));
    for (size_t i = 0; i < std::size(kCandidates); i++) {
        EXPECT_EQ(IsSkinned(before[i]), kCandidates[i].skinned) << kCandidates[i].what << " made before";
        EXPECT_EQ(IsSkinned(after[i]), kCandidates[i].skinned) << kCandidates[i].what << " made after";
    }
    // A drop-down combo box's list comes along; a simple one's does not.
    for (HWND combo : {after[10], before[10], after[12]}) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        EXPECT_EQ(IsSkinned(info.hwndList), combo != after[12]);
    }
    // The fields of an IP-address control are edit boxes, and stay as they are.
    HWND address = Make(WC_IPADDRESSW, 0, parent, 0, 0, 150, 24);
    int fields = 0;
    for (HWND field = GetWindow(address, GW_CHILD); field; field = GetWindow(field, GW_HWNDNEXT)) {
        fields++;
        EXPECT_FALSE(IsSkinned(field));
    }
    EXPECT_EQ(fields, 4);
}

TEST_F(SkinTest, LeavesOtherThreadsAlone) {
    HWND theirs = nullptr;
    HWND theirsLater = nullptr;
    HANDLE made = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE skinned = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::thread other([&] {
        HWND top = Make(L"Static", WS_OVERLAPPEDWINDOW, nullptr);
        theirs = Make(L"Button", BS_PUSHBUTTON, top);
        SetEvent(made);
        WaitForSingleObject(skinned, INFINITE);
        theirsLater = Make(L"Button", BS_PUSHBUTTON, top);
        EXPECT_EQ(SkinScheme(), 0);
        DestroyWindow(top);
    });
    WaitForSingleObject(made, INFINITE);
    SkinControls(2);
    EXPECT_FALSE(IsSkinned(theirs));
    SetEvent(skinned);
    other.join();
    EXPECT_EQ(theirsLater != nullptr, true);
    CloseHandle(made);
    CloseHandle(skinned);
}

TEST_F(SkinTest, AnyOtherSchemeOnlyRemovesAndDestroyedControlsLetGo) {
    HWND button = Make(L"Button", BS_PUSHBUTTON, parent);
    for (int scheme : {1, 3, 2}) {
        SkinControls(scheme);
        EXPECT_EQ(SkinScheme(), scheme);
        EXPECT_TRUE(IsSkinned(button));
        EXPECT_EQ(Render(button).At(40, 0), kFrames[scheme - 1]) << scheme;
    }
    for (int scheme : {0, 4, -1}) {
        SkinControls(2);
        SkinControls(scheme);
        EXPECT_EQ(SkinScheme(), 0);
        EXPECT_FALSE(IsSkinned(button)) << scheme;
        EXPECT_FALSE(IsSkinned(Make(L"Button", BS_PUSHBUTTON, parent))) << scheme;
        EXPECT_NE(Render(button).At(40, 0), kFrames[1]) << scheme;
    }
    SkinControls(2);
    HWND doomed = Make(L"Edit", 0, parent);
    ASSERT_TRUE(IsSkinned(doomed));
    DestroyWindow(doomed);
    EXPECT_FALSE(IsSkinned(doomed));
}

// A click whose handler destroys the clicked button: the skin's procedure for that button is still
// on the stack when the button goes.
LRESULT CALLBACK DestroyOnClick(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        DestroyWindow(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(SkinTest, SurvivesAClickThatDestroysTheButton) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DestroyOnClick;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkinTestDestroyOnClick";
    RegisterClassW(&wc);
    HWND owner = Make(wc.lpszClassName, WS_OVERLAPPEDWINDOW, nullptr, 0, 0, 200, 200);
    SkinControls(2);
    HWND button = Make(L"Button", BS_PUSHBUTTON, owner);
    ASSERT_TRUE(IsSkinned(button));
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_FALSE(IsSkinned(button));
    DestroyWindow(owner);
}

TEST_F(SkinTest, RendersEveryKindWithTheSchemeFrame) {
    SkinControls(2);
    const COLORREF frame = kFrames[1];
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HWND push = Make(L"Button", BS_PUSHBUTTON, parent, 0, 0, 83, 30);
    HWND group = Make(L"Button", BS_GROUPBOX, parent, 0, 40, 200, 80);
    HWND edit = Make(L"Edit", ES_MULTILINE | WS_VSCROLL, parent, 0, 130, 200, 80, WS_EX_CLIENTEDGE);
    HWND check = Make(L"Button", BS_AUTOCHECKBOX, parent, 0, 220, 120, 20);
    HWND combo = Make(L"ComboBox", CBS_DROPDOWNLIST, parent, 0, 250, 120, 200);
    HWND updown = Make(UPDOWN_CLASSW, 0, parent, 200, 0, 20, 30);

    const Canvas p = Render(push);
    EXPECT_EQ(p.At(41, 0), frame);
    EXPECT_EQ(p.At(41, -1), frame);
    EXPECT_EQ(p.At(0, 15), frame);
    EXPECT_EQ(p.At(-1, 15), frame);
    EXPECT_NE(p.At(0, 0), frame) << "corners are rounded off";

    const Canvas g = Render(group);
    EXPECT_EQ(g.At(0, 40), frame);
    EXPECT_EQ(g.At(-1, 40), frame);
    EXPECT_EQ(g.At(100, -1), frame);
    EXPECT_EQ(g.At(100, 40), face) << "the inside is painted in the face colour";
    EXPECT_EQ(g.At(3, 3), face) << "the caption sits in a gap of the frame";

    const Canvas e = Render(edit);
    EXPECT_EQ(e.At(100, 0), frame);
    EXPECT_EQ(e.At(0, 40), frame);
    EXPECT_EQ(e.At(-1, 40), frame);
    EXPECT_EQ(e.At(100, -1), frame);
    EXPECT_EQ(e.At(100, 1), RGB(255, 255, 255)) << "inner line of an edit box without the focus";

    const Canvas c = Render(check);
    const int boxTop = (20 - 13) / 2;
    EXPECT_EQ(c.At(6, boxTop), frame);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    const Canvas checked = Render(check);
    EXPECT_NE(checked.At(6, boxTop + 6), c.At(6, boxTop + 6)) << "a check mark";

    RECT comboRect;
    GetClientRect(combo, &comboRect);
    EXPECT_EQ(Render(combo).At(30, 0), frame);
    EXPECT_EQ(Render(updown).At(10, 0), frame);
}

TEST(SkinPaint, PushButtonStatesLookDifferentButKeepTheFrame) {
    const SkinColours colours = SchemeColours(2);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Look {
        unsigned state;
        COLORREF centre;
        COLORREF edge;
        COLORREF ring;
    };
    std::vector<Look> looks;
    for (unsigned state : {0u, unsigned{kSkinHot}, unsigned{kSkinPressed}, unsigned{kSkinFocused}, unsigned{kSkinDisabled}}) {
        Canvas canvas(83, 30);
        Caption caption;
        PaintPushButton(canvas.Dc(), canvas.Area(), colours, caption, state, face);
        looks.push_back({state, canvas.At(41, 15), canvas.At(41, 0), canvas.At(41, 1)});
        EXPECT_EQ(canvas.At(0, 0), MixColour(state & kSkinDisabled ? colours.frameDisabled : colours.frame, face, 60));
    }
    for (const Look& look : looks) {
        EXPECT_EQ(look.edge, look.state == kSkinDisabled ? colours.frameDisabled : colours.frame) << look.state;
    }
    EXPECT_EQ(looks[3].ring, colours.frameStrong) << "the focused button has its ring";
    EXPECT_NE(looks[0].ring, colours.frameStrong);
    for (size_t i = 0; i < looks.size(); i++) {
        for (size_t j = i + 1; j < looks.size(); j++) {
            if (looks[i].state == kSkinFocused || looks[j].state == kSkinFocused) continue;  // same face, own ring
            EXPECT_NE(looks[i].centre, looks[j].centre) << looks[i].state << " vs " << looks[j].state;
        }
    }
}

TEST(SkinPaint, CaptionIsDrawnCentredAndGreyedWhenDisabled) {
    const SkinColours colours = SchemeColours(2);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto darkest = [](const Canvas& canvas, int left, int right) {
        int best = 255 * 3;
        COLORREF colour = 0;
        for (int y = 2; y < 28; y++) {
            for (int x = left; x < right; x++) {
                const COLORREF c = canvas.At(x, y);
                const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
                if (sum < best) best = sum, colour = c;
            }
        }
        return colour;
    };
    Caption caption{L"Go", font, DT_CENTER | DT_WORDBREAK, 0};
    Canvas normal(83, 30);
    PaintPushButton(normal.Dc(), normal.Area(), colours, caption, 0, RGB(240, 240, 240));
    EXPECT_EQ(darkest(normal, 30, 53), RGB(0, 0, 0)) << "black text in the middle";
    EXPECT_NE(darkest(normal, 4, 20), RGB(0, 0, 0)) << "nothing at the left";
    Canvas disabled(83, 30);
    PaintPushButton(disabled.Dc(), disabled.Area(), colours, caption, kSkinDisabled, RGB(240, 240, 240));
    EXPECT_EQ(darkest(disabled, 30, 53), colours.textDisabled);
}

}  // namespace
