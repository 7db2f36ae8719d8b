#include "app/Skin.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/SkinPaint.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x534B494E;  // "SKIN"

enum class Kind { PushButton, CheckBox, RadioButton, GroupBox, Edit, ComboBox, ComboList, UpDown };

// Per control. Freed when the control lets go of the skin, but only once no call of the skin's
// procedure for it is still running: a click can destroy the very window whose message it is in.
struct Skinned {
    Kind kind;
    bool hot = false;
    int depth = 0;
    bool detached = false;
};

thread_local int tScheme = 0;
thread_local HHOOK tHook = nullptr;
// The skinned controls of this thread (the import library has no GetWindowSubclass).
thread_local std::unordered_map<HWND, Skinned*> tSkinned;

std::wstring ClassName(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::wstring s = name;
    // A versioned class name ("6.0.x.y!Button") is matched by its base name.
    const size_t bang = s.rfind(L'!');
    return bang == std::wstring::npos ? s : s.substr(bang + 1);
}

bool SameName(const std::wstring& a, const wchar_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

std::optional<Kind> ButtonKind(DWORD style) {
    if (style & (BS_BITMAP | BS_ICON)) return std::nullopt;
    const bool pushLike = style & BS_PUSHLIKE;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: return Kind::PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return pushLike ? Kind::PushButton : Kind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return pushLike ? Kind::PushButton : Kind::RadioButton;
    case BS_GROUPBOX: return Kind::GroupBox;
    default: return std::nullopt;  // owner-drawn, user buttons, split buttons, command links
    }
}

bool IsSimpleCombo(HWND hwnd) {
    return hwnd && SameName(ClassName(hwnd), L"ComboBox") &&
           (GetWindowLongPtrW(hwnd, GWL_STYLE) & 3) == CBS_SIMPLE;
}

std::optional<Kind> KindOf(HWND hwnd, DWORD style, HWND parent) {
    const std::wstring name = ClassName(hwnd);
    if (SameName(name, L"Button")) return ButtonKind(style);
    if (SameName(name, L"Edit")) {
        if (parent && SameName(ClassName(parent), L"SysIPAddress32")) return std::nullopt;
        return Kind::Edit;
    }
    if (SameName(name, L"ComboBox")) {
        if ((style & 3) == CBS_SIMPLE) return std::nullopt;
        return Kind::ComboBox;
    }
    if (SameName(name, L"ComboLBox")) {
        if (IsSimpleCombo(parent) || IsSimpleCombo(GetWindow(hwnd, GW_OWNER))) return std::nullopt;
        return Kind::ComboList;
    }
    if (SameName(name, L"msctls_updown32")) return Kind::UpDown;
    return std::nullopt;
}

std::optional<Kind> KindOf(HWND hwnd) {
    return KindOf(hwnd, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), GetParent(hwnd));
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);

Skinned* SkinOf(HWND hwnd) {
    const auto found = tSkinned.find(hwnd);
    return found == tSkinned.end() ? nullptr : found->second;
}

// Lets go of the skin of hwnd; its state goes once no call for it is running.
void Release(HWND hwnd, Skinned* skin) {
    RemoveWindowSubclass(hwnd, SkinProc, kSubclassId);
    tSkinned.erase(hwnd);
    skin->detached = true;
    if (skin->depth == 0) delete skin;
}

void Attach(HWND hwnd, Kind kind) {
    if (SkinOf(hwnd)) return;
    auto* skin = new Skinned{kind};
    if (!SetWindowSubclass(hwnd, SkinProc, kSubclassId, reinterpret_cast<DWORD_PTR>(skin))) {
        delete skin;
        return;
    }
    tSkinned[hwnd] = skin;
}

void Detach(HWND hwnd) {
    if (Skinned* skin = SkinOf(hwnd)) Release(hwnd, skin);
}

void RedrawAll(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    if (GetWindowThreadProcessId(child, nullptr) == GetCurrentThreadId()) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    }
    return TRUE;
}

BOOL CALLBACK CollectTop(HWND top, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(top);
    EnumChildWindows(top, CollectChild, list);
    return TRUE;
}

// Every window of this thread: its top-level windows and their descendants on this thread.
std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectTop, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

void AttachWithList(HWND hwnd, Kind kind) {
    Attach(hwnd, kind);
    if (kind != Kind::ComboBox) return;
    // The list of a drop-down combo box is not a child of any window of ours.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(hwnd, &info) && info.hwndList) Attach(info.hwndList, Kind::ComboList);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && tScheme != 0) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (auto kind = KindOf(hwnd, static_cast<DWORD>(create.style), create.hwndParent)) Attach(hwnd, *kind);
    }
    return CallNextHookEx(tHook, code, wParam, lParam);
}

// ---- painting ------------------------------------------------------------------------------------

COLORREF ParentBackground(HWND hwnd, HDC dc, UINT message) {
    HWND parent = GetParent(hwnd);
    HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc),
                                                                  reinterpret_cast<LPARAM>(hwnd)))
                          : nullptr;
    LOGBRUSH info{};
    if (brush && GetObjectW(brush, sizeof info, &info) == sizeof info && info.lbStyle == BS_SOLID) return info.lbColor;
    return GetSysColor(COLOR_BTNFACE);
}

std::wstring WindowTextOf(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

Caption ButtonCaption(HWND hwnd, const std::wstring& text, DWORD style, bool push) {
    Caption caption;
    caption.text = text;
    caption.font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    const DWORD horizontal = style & (BS_LEFT | BS_RIGHT | BS_CENTER);
    caption.format = horizontal == BS_LEFT ? DT_LEFT : horizontal == BS_RIGHT ? DT_RIGHT
                     : horizontal == BS_CENTER || push ? DT_CENTER : DT_LEFT;
    caption.format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    const DWORD vertical = style & (BS_TOP | BS_BOTTOM | BS_VCENTER);
    caption.vertical = vertical == BS_TOP ? -1 : vertical == BS_BOTTOM ? 1 : 0;
    return caption;
}

void PaintButtonLook(HWND hwnd, const Skinned& skin, Kind kind, HDC dc) {
    RECT area;
    GetClientRect(hwnd, &area);
    const SkinColours colours = SchemeColours(tScheme);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const LRESULT buttonState = SendMessageW(hwnd, BM_GETSTATE, 0, 0);
    unsigned state = 0;
    if (!IsWindowEnabled(hwnd)) state |= kSkinDisabled;
    if (skin.hot) state |= kSkinHot;
    if (buttonState & BST_PUSHED) state |= kSkinPressed;
    if (GetFocus() == hwnd) state |= kSkinFocused;
    if (buttonState & BST_CHECKED) state |= kSkinChecked;
    if (buttonState & BST_INDETERMINATE) state |= kSkinMixed;
    const std::wstring text = WindowTextOf(hwnd);
    switch (kind) {
    case Kind::GroupBox: {
        Caption caption = ButtonCaption(hwnd, text, style, false);
        PaintGroupBox(dc, area, colours, caption, state, ParentBackground(hwnd, dc, WM_CTLCOLORSTATIC));
        break;
    }
    case Kind::CheckBox:
    case Kind::RadioButton: {
        Caption caption = ButtonCaption(hwnd, text, style, false);
        PaintCheckButton(dc, area, colours, caption, state, kind == Kind::RadioButton, (style & BS_LEFTTEXT) != 0,
                         ParentBackground(hwnd, dc, WM_CTLCOLORSTATIC));
        break;
    }
    default: {
        Caption caption = ButtonCaption(hwnd, text, style, true);
        PaintPushButton(dc, area, colours, caption, state, ParentBackground(hwnd, dc, WM_CTLCOLORBTN));
        break;
    }
    }
}

// Paints through a memory bitmap so that the control never shows half-drawn.
void PaintButtonBuffered(HWND hwnd, const Skinned& skin, Kind kind, HDC target) {
    RECT area;
    GetClientRect(hwnd, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(target, width, height) : nullptr;
    if (!bitmap) {
        if (memory) DeleteDC(memory);
        PaintButtonLook(hwnd, skin, kind, target);
        return;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintButtonLook(hwnd, skin, kind, memory);
    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

unsigned EditState(HWND hwnd, const Skinned& skin) {
    unsigned state = 0;
    if (!IsWindowEnabled(hwnd)) state |= kSkinDisabled;
    if (GetFocus() == hwnd) state |= kSkinFocused;
    if (skin.hot) state |= kSkinHot;
    return state;
}

// The frame of an edit box (window coordinates), of a combo box (client coordinates), or the thin
// line around a list or an up-down control.
void PaintFrameLook(HWND hwnd, const Skinned& skin, HDC dc) {
    const SkinColours colours = SchemeColours(tScheme);
    RECT area;
    if (skin.kind == Kind::Edit || skin.kind == Kind::ComboList) {
        RECT window;
        GetWindowRect(hwnd, &window);
        area = RECT{0, 0, window.right - window.left, window.bottom - window.top};
    } else {
        GetClientRect(hwnd, &area);
    }
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    switch (skin.kind) {
    case Kind::Edit:
        if (exStyle & WS_EX_CLIENTEDGE) {
            PaintEditFrame(dc, area, colours, EditState(hwnd, skin));
        } else if (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_BORDER) {
            PaintThinFrame(dc, area, IsWindowEnabled(hwnd) ? colours.frame : colours.frameDisabled);
        }
        break;
    case Kind::ComboBox: PaintEditFrame(dc, area, colours, EditState(hwnd, skin)); break;
    default: PaintThinFrame(dc, area, IsWindowEnabled(hwnd) ? colours.frame : colours.frameDisabled); break;
    }
}

void PaintFrameNow(HWND hwnd, const Skinned& skin) {
    const bool windowArea = skin.kind == Kind::Edit || skin.kind == Kind::ComboList;
    HDC dc = windowArea ? GetWindowDC(hwnd) : GetDC(hwnd);
    if (!dc) return;
    PaintFrameLook(hwnd, skin, dc);
    ReleaseDC(hwnd, dc);
}

void TrackLeave(HWND hwnd) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
    TrackMouseEvent(&track);
}

bool ChangesButtonLook(UINT message) {
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_STYLECHANGED:
    case WM_UPDATEUISTATE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE: return true;
    default: return false;
    }
}

LRESULT HandleButton(HWND hwnd, Skinned& skin, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto kind = ButtonKind(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)));
    if (!kind) return DefSubclassProc(hwnd, message, wParam, lParam);  // turned owner-drawn since
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintButtonBuffered(hwnd, skin, *kind, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: PaintButtonLook(hwnd, skin, *kind, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE:
        if (!skin.hot && *kind != Kind::GroupBox) {
            skin.hot = true;
            TrackLeave(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        skin.hot = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
    }
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    // The control may have drawn itself directly, or a click may have closed its window.
    if (ChangesButtonLook(message) && IsWindow(hwnd) && !skin.detached) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    }
    return result;
}

// Where the client area lies in the window, for drawing a printed client area in its place.
POINT ClientOffset(HWND hwnd) {
    RECT window;
    GetWindowRect(hwnd, &window);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return POINT{origin.x - window.left, origin.y - window.top};
}

// WM_PRINT of a control whose frame lies outside its client area: the system draws the frame (and
// scroll bars) if it can, the control its client area in its place, and the skin its frame over it.
// Each part is drawn with the DC as it was handed in, whatever the part before left set on it.
LRESULT PrintFramed(HWND hwnd, Skinned& skin, WPARAM wParam, LPARAM lParam) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return 0;
    int saved = SaveDC(dc);
    const LRESULT result = DefSubclassProc(hwnd, WM_PRINT, wParam, lParam & ~(PRF_CLIENT | PRF_CHILDREN));
    RestoreDC(dc, saved);
    if (lParam & PRF_CLIENT) {
        saved = SaveDC(dc);
        const POINT offset = ClientOffset(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        OffsetViewportOrgEx(dc, offset.x, offset.y, nullptr);
        IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
        if (lParam & PRF_ERASEBKGND) SendMessageW(hwnd, WM_ERASEBKGND, wParam, 0);
        SendMessageW(hwnd, WM_PRINTCLIENT, wParam, lParam);
        RestoreDC(dc, saved);
    }
    if (lParam & PRF_NONCLIENT) PaintFrameLook(hwnd, skin, dc);
    return result;
}

LRESULT HandleFramed(HWND hwnd, Skinned& skin, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool windowArea = skin.kind == Kind::Edit || skin.kind == Kind::ComboList;
    switch (message) {
    case WM_MOUSEMOVE:
        if (!skin.hot && skin.kind == Kind::Edit) {
            skin.hot = true;
            TrackLeave(hwnd);
            PaintFrameNow(hwnd, skin);
        }
        break;
    case WM_MOUSELEAVE:
        skin.hot = false;
        PaintFrameNow(hwnd, skin);
        break;
    case WM_PRINT:
        if (windowArea) return PrintFramed(hwnd, skin, wParam, lParam);
        break;
    }
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (!IsWindow(hwnd) || skin.detached) return result;
    switch (message) {
    case WM_NCPAINT:
        if (windowArea) PaintFrameNow(hwnd, skin);
        break;
    case WM_PAINT:
        if (!windowArea) PaintFrameNow(hwnd, skin);
        break;
    case WM_PRINTCLIENT:
        if (!windowArea) PaintFrameLook(hwnd, skin, reinterpret_cast<HDC>(wParam));
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_STYLECHANGED:
        if (windowArea) {
            PaintFrameNow(hwnd, skin);
        } else {
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        break;
    }
    return result;
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* skin = reinterpret_cast<Skinned*>(data);
    if (message == WM_NCDESTROY) {
        Release(hwnd, skin);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    skin->depth++;
    LRESULT result;
    switch (skin->kind) {
    case Kind::PushButton:
    case Kind::CheckBox:
    case Kind::RadioButton:
    case Kind::GroupBox: result = HandleButton(hwnd, *skin, message, wParam, lParam); break;
    default: result = HandleFramed(hwnd, *skin, message, wParam, lParam); break;
    }
    if (--skin->depth == 0 && skin->detached) delete skin;
    return result;
}

void RemoveSkin() {
    if (tHook) {
        UnhookWindowsHookEx(tHook);
        tHook = nullptr;
    }
    if (tScheme == 0) return;
    tScheme = 0;
    for (HWND hwnd : ThreadWindows()) {
        Skinned* skin = SkinOf(hwnd);
        if (!skin) continue;
        if (skin->kind == Kind::ComboBox) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (GetComboBoxInfo(hwnd, &info) && info.hwndList) Detach(info.hwndList);
        }
        Detach(hwnd);
        RedrawAll(hwnd);
    }
}

}  // namespace

void SkinControls(int scheme) {
    RemoveSkin();
    if (!IsSkinScheme(scheme)) return;
    tScheme = scheme;
    for (HWND hwnd : ThreadWindows()) {
        if (auto kind = KindOf(hwnd)) {
            AttachWithList(hwnd, *kind);
            RedrawAll(hwnd);
        }
    }
    tHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

int SkinScheme() { return tScheme; }

bool IsSkinned(HWND control) { return SkinOf(control) != nullptr; }
