#include "app/DialogKeys.h"

#include <algorithm>

namespace {

bool IsKeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool Focusable(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

bool IsEdit(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Edit") == 0;
}

void MoveFocus(HWND window, std::span<const HWND> ring, bool backwards) {
    HWND focus = GetFocus();
    HWND from = (focus == window || !IsChild(window, focus)) ? nullptr : focus;
    HWND to = NextInRing(ring, from, backwards);
    if (!to || to == focus) return;
    SetFocus(to);
    // As in a dialog: an edit box entered with Tab has its whole text selected.
    if (IsEdit(to)) SendMessageW(to, EM_SETSEL, 0, -1);
}

}  // namespace

HWND NextInRing(std::span<const HWND> ring, HWND from, bool backwards) {
    const int n = static_cast<int>(ring.size());
    if (n == 0) return nullptr;
    const auto found = std::find(ring.begin(), ring.end(), from);
    // From outside the ring, Tab starts at its first control and Shift+Tab at its last.
    int index = found == ring.end() ? (backwards ? 0 : n - 1) : static_cast<int>(found - ring.begin());
    for (int step = 1; step <= n; step++) {
        const int i = ((index + (backwards ? -step : step)) % n + n) % n;
        if (Focusable(ring[static_cast<size_t>(i)])) return ring[static_cast<size_t>(i)];
    }
    return nullptr;
}

bool ClaimsEnter(HWND control) {
    if (!control || !IsEdit(control)) return false;
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    return (style & ES_MULTILINE) && !(style & ES_READONLY);
}

bool HandleDialogKey(const MSG& msg, HWND window, std::span<const HWND> ring) {
    if (!window || (msg.hwnd != window && !IsChild(window, msg.hwnd))) return false;
    switch (msg.message) {
    case WM_KEYDOWN:
        switch (msg.wParam) {
        case VK_TAB:
            MoveFocus(window, ring, IsKeyDown(VK_SHIFT));
            return true;
        case VK_ESCAPE:
            SendMessageW(window, WM_CLOSE, 0, 0);
            return true;
        case VK_RETURN:
            return !ClaimsEnter(GetFocus());
        case VK_F1:
            return true;
        }
        return false;
    case WM_CHAR:
        // Characters that did not come from a key press handled above (a typed VK_PACKET, say)
        // still never put a tab or an escape into a box, nor a line break where Enter means nothing.
        switch (msg.wParam) {
        case L'\t':
        case 0x1B:
            return true;
        case L'\r':
        case L'\n':
            return !ClaimsEnter(GetFocus());
        }
        return false;
    }
    return false;
}
