// Plays the user's part for scripts/run on a display nobody watches: finds Tarvinel's window in the
// same Wine prefix, types a Chinese text into 编辑框1, presses 开始生成, waits for the completion
// message, presses 播放. "close" closes the window as its close button does.
//
//   tarvinel-run-driver demo [seconds]   exit 0 once Play was pressed after a generation
//   tarvinel-run-driver close            exit 0 once the window is gone
//
// Progress goes to stdout as UTF-8.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/Layout.h"
#include "sys/Win.h"

namespace {

const wchar_t kSample[] = L"\u4F60\u597D\uFF0C\u6B22\u8FCE\u4F7F\u7528 Tarvinel\u3002\u4ECA\u5929\u5929\u6C14\u5F88\u597D\u3002";  // 你好，欢迎使用 Tarvinel。今天天气很好。
const wchar_t kFinished[] = L"\u751F\u6210\u5B8C\u6BD5";  // 生成完毕

void Say(const std::wstring& line) {
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), n, nullptr, nullptr);
    std::printf("run-driver: %s\n", utf8.c_str());
    std::fflush(stdout);
}

HWND FindMainWindow(DWORD milliseconds) {
    const std::wstring caption(layout::kCaption, layout::kCaption + sizeof layout::kCaption - 1);
    for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(100)) {
        if (HWND w = FindWindowW(nullptr, caption.c_str()); w && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

HWND ControlOf(HWND window, layout::Control which) { return GetDlgItem(window, layout::kControls[which].id); }

std::wstring TextOf(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"";
    std::vector<wchar_t> buffer(length + 1);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 2000, &copied);
    return std::wstring(buffer.data(), copied);
}

// Real key presses of each character, into the control that has the focus.
void Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = c;
            in.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(in);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Focus(HWND window, HWND control) {
    const DWORD mine = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(mine, theirs, TRUE);
    SetForegroundWindow(window);
    SetFocus(control);
    AttachThreadInput(mine, theirs, FALSE);
}

int Demo(DWORD seconds) {
    HWND window = FindMainWindow(60000);
    if (!window) {
        Say(L"no Tarvinel window appeared");
        return 1;
    }
    HWND edit1 = ControlOf(window, layout::kEdit1), edit2 = ControlOf(window, layout::kEdit2);
    HWND start = ControlOf(window, layout::kButton1), play = ControlOf(window, layout::kButton2);
    if (!edit1 || !edit2 || !start || !play) {
        Say(L"the window lacks its controls");
        return 1;
    }

    Focus(window, edit1);
    Sleep(300);
    Type(kSample);
    for (DWORD t = GetTickCount(); TextOf(edit1) != kSample && GetTickCount() - t < 5000;) Sleep(100);
    if (TextOf(edit1) != kSample) {
        Say(L"typing reached 编辑框1 as \"" + TextOf(edit1) + L"\"");
        return 1;
    }
    Say(L"typed \"" + std::wstring(kSample) + L"\" into 编辑框1");

    PostMessageW(start, BM_CLICK, 0, 0);
    Say(L"pressed 开始生成");
    std::wstring message;
    for (DWORD t = GetTickCount(); GetTickCount() - t < seconds * 1000; Sleep(200)) {
        message = TextOf(edit2);
        if (message.find(kFinished) != std::wstring::npos) break;
    }
    if (message.find(kFinished) == std::wstring::npos) {
        Say(L"no completion message within " + std::to_wstring(seconds) + L" s; 编辑框2 holds \"" + message + L"\"");
        return 1;
    }
    for (size_t p; (p = message.find(L"\r\n")) != std::wstring::npos;) message.replace(p, 2, L" / ");
    Say(L"编辑框2: " + message);

    PostMessageW(play, BM_CLICK, 0, 0);
    Say(L"pressed 播放");
    Sleep(1000);
    return 0;
}

int Close() {
    HWND window = FindMainWindow(2000);
    if (!window) return 0;
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (DWORD t = GetTickCount(); IsWindow(window) && GetTickCount() - t < 10000;) Sleep(100);
    return IsWindow(window) ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"demo") return Demo(argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 90);
    if (command == L"close") return Close();
    std::fprintf(stderr, "usage: tarvinel-run-driver demo [seconds] | close\n");
    return 2;
}
