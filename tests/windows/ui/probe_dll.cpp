// Loaded into Tarvinel through a message hook, it reads what only the program itself can read: the
// fonts of its controls, its menu, its window class, its code page, and the clicks its window heard.
#include <windows.h>

#include <map>
#include <string>

#include "ProbeProtocol.h"

namespace {

HINSTANCE gModule = nullptr;
HHOOK gCallHook = nullptr;
std::map<int, int> gClicks;  // control or menu id -> BN_CLICKED / menu commands heard
int gMenuCommands = 0;

std::string Utf8(const wchar_t* w, int n = -1) {
    if (!w) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, n, s.data(), size, nullptr, nullptr);
    if (n == -1 && !s.empty()) s.pop_back();
    return s;
}

void Put(std::string& out, const std::string& key, const std::string& value) { out += key + "=" + value + "\n"; }
void Put(std::string& out, const std::string& key, long long value) { Put(out, key, std::to_string(value)); }

void Count(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COMMAND) return;
    if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) gClicks[LOWORD(wParam)]++;
    if (lParam == 0 && HIWORD(wParam) == 0) gMenuCommands++, gClicks[LOWORD(wParam)]++;
}

LRESULT CALLBACK CallHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        Count(m->message, m->wParam, m->lParam);
    }
    return CallNextHookEx(gCallHook, code, wParam, lParam);
}

void DescribeFont(std::string& out, const std::string& prefix, HFONT font) {
    LOGFONTW lf{};
    Put(out, prefix + "font", font ? 1 : 0);
    if (!font || GetObjectW(font, sizeof lf, &lf) != sizeof lf) return;
    Put(out, prefix + "face", Utf8(lf.lfFaceName));
    Put(out, prefix + "height", lf.lfHeight);
    Put(out, prefix + "width", lf.lfWidth);
    Put(out, prefix + "weight", lf.lfWeight);
    Put(out, prefix + "italic", lf.lfItalic);
    Put(out, prefix + "underline", lf.lfUnderline);
    Put(out, prefix + "strikeout", lf.lfStrikeOut);
    Put(out, prefix + "charset", lf.lfCharSet);
    Put(out, prefix + "outprecision", lf.lfOutPrecision);
    Put(out, prefix + "clipprecision", lf.lfClipPrecision);
    Put(out, prefix + "quality", lf.lfQuality);
    Put(out, prefix + "pitchfamily", lf.lfPitchAndFamily);
    Put(out, prefix + "handle", reinterpret_cast<long long>(font));
}

void DescribeMenuItem(std::string& out, const std::string& prefix, HMENU menu, UINT index) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 127;
    if (!GetMenuItemInfoW(menu, index, TRUE, &info)) return;
    Put(out, prefix + "text", Utf8(text));
    Put(out, prefix + "type", info.fType);
    Put(out, prefix + "state", info.fState);
    Put(out, prefix + "id", info.wID);
    Put(out, prefix + "submenu", info.hSubMenu ? GetMenuItemCount(info.hSubMenu) : -1);
}

void DescribeIcon(std::string& out, const std::string& prefix, HICON icon) {
    Put(out, prefix + "icon", icon ? 1 : 0);
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return;
    BITMAP bm{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bm, &bm)) {
        Put(out, prefix + "iconsize", std::to_string(bm.bmWidth) + "x" + std::to_string(bm.bmHeight));
        Put(out, prefix + "iconbits", bm.bmBitsPixel);
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
}

std::string Describe(HWND window) {
    std::string out;
    Put(out, "acp", GetACP());
    Put(out, "btnface", GetSysColor(COLOR_BTNFACE));
    Put(out, "class.style", static_cast<long long>(GetClassLongPtrW(window, GCL_STYLE)));
    Put(out, "class.background", static_cast<long long>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)));
    Put(out, "class.arrow", reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR)) ==
                                LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    const auto windowFont = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    Put(out, "window.defaultguifont", windowFont == GetStockObject(DEFAULT_GUI_FONT));
    DescribeIcon(out, "big.", reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)));
    DescribeIcon(out, "small.", reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string prefix = "control." + std::to_string(GetDlgCtrlID(child)) + ".";
        DescribeFont(out, prefix, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    }
    HMENU menu = GetMenu(window);
    Put(out, "menu.count", menu ? GetMenuItemCount(menu) : -1);
    if (menu) {
        DescribeMenuItem(out, "menu.0.", menu, 0);
        HMENU popup = GetSubMenu(menu, 0);
        if (popup) {
            for (int i = 0; i < GetMenuItemCount(popup); i++) {
                DescribeMenuItem(out, "menu.0." + std::to_string(i) + ".", popup, static_cast<UINT>(i));
            }
        }
    }
    for (const auto& [id, count] : gClicks) Put(out, "clicks." + std::to_string(id), count);
    Put(out, "menucommands", gMenuCommands);
    return out;
}

void Answer(HWND driver, HWND window) {
    const std::string text = Describe(window);
    COPYDATASTRUCT data{kProbeAnswerTag, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(driver, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageW(kProbeMessageName);
    if (!gCallHook) gCallHook = SetWindowsHookExW(WH_CALLWNDPROC, CallHook, gModule, GetCurrentThreadId());
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        Count(msg->message, msg->wParam, msg->lParam);
        if (msg->message == probeMessage) {
            Answer(reinterpret_cast<HWND>(msg->wParam), msg->hwnd);
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = module;
    if (reason == DLL_PROCESS_DETACH && gCallHook) UnhookWindowsHookEx(gCallHook);
    return TRUE;
}
