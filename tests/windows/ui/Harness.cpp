#include "Harness.h"

#include <tlhelp32.h>

#include <atomic>
#include <sstream>

#include "Png.h"
#include "ProbeProtocol.h"

namespace {

std::atomic<int> gRuns{0};

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s = path;
    return s.substr(0, s.find_last_of(L"\\/"));
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// The driver's own window, to which the probe answers.
std::string gAnswer;
bool gAnswered = false;

LRESULT CALLBACK DriverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData == kProbeAnswerTag) {
            gAnswer.assign(static_cast<const char*>(data->lpData), data->cbData);
            gAnswered = true;
            return TRUE;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND DriverWindow() {
    static HWND window = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DriverProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarvinelUiDriver";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

void PumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

void SendInputs(std::vector<INPUT>& inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Every mouse event carries its absolute place, so that none depends on where an earlier one left
// the cursor by the time the system takes it up.
INPUT MouseInput(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

}  // namespace

std::wstring EnvOr(const wchar_t* name, const std::wstring& fallback) {
    wchar_t value[2048] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, 2048);
    return n > 0 && n < 2048 ? std::wstring(value) : fallback;
}

std::wstring ArtifactPath(const std::wstring& name) {
    const std::wstring folder = EnvOr(L"TARVINEL_UI_ARTIFACTS", ModuleFolder());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        PumpFor(20);
    }
}

App::App() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"tarvinel-ui-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++gRuns);
    RemoveTree(folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::wstring exe = folder_ + L"\\tarvinel.exe";
    if (!CopyFileW(EnvOr(L"TARVINEL_UI_EXE").c_str(), exe.c_str(), FALSE)) return;

    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                        &process_)) {
        return;
    }
    const DWORD pid = process_.dwProcessId;
    WaitUntil(
        [&] {
            HWND found = nullptr;
            for (HWND w = FindWindowExW(nullptr, nullptr, L"TarvinelMainWindow", nullptr); w;
                 w = FindWindowExW(nullptr, w, L"TarvinelMainWindow", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == pid && IsWindowVisible(w)) found = w;
            }
            window_ = found;
            return found != nullptr;
        },
        20000);
    if (!window_) return;
    thread_ = GetWindowThreadProcessId(window_, nullptr);
    probe_ = LoadLibraryW((ModuleFolder() + L"\\ui_probe.dll").c_str());
    FARPROC address = probe_ ? GetProcAddress(probe_, kProbeHookName) : nullptr;
    HOOKPROC hook = nullptr;
    static_assert(sizeof hook == sizeof address);
    memcpy(&hook, &address, sizeof hook);
    if (hook) probeHook_ = SetWindowsHookExW(WH_GETMESSAGE, hook, probe_, thread_);
    Probe();  // loads the probe now, so that it hears every click from here on
    Foreground();
}

App::~App() {
    if (process_.hProcess) {
        if (Running()) {
            if (window_ && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 5000);
            }
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    if (probeHook_) UnhookWindowsHookEx(probeHook_);
    if (probe_) FreeLibrary(probe_);
    RemoveTree(folder_);
}

std::map<std::string, std::string> App::Probe() {
    std::map<std::string, std::string> values;
    if (!probeHook_ || !IsWindow(window_)) return values;
    static const UINT message = RegisterWindowMessageW(kProbeMessageName);
    gAnswered = false;
    PostMessageW(window_, message, reinterpret_cast<WPARAM>(DriverWindow()), 0);
    if (!WaitUntil([] { return gAnswered; }, 10000)) return values;
    std::istringstream lines(gAnswer);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

HWND App::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread_, &info) ? info.hwndFocus : nullptr;
}

void App::Foreground() {
    if (!IsWindow(window_)) return;
    WaitUntil(
        [&] {
            SetForegroundWindow(window_);
            return GetForegroundWindow() == window_;
        },
        3000);
    Settle();
}

void App::Settle(int milliseconds) const {
    PumpFor(milliseconds);
    DWORD_PTR ignored = 0;
    if (IsWindow(window_)) SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
}

bool App::WaitExit(int milliseconds, DWORD& exitCode) {
    if (!process_.hProcess) return false;
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process_.hProcess, &exitCode) != 0;
}

bool App::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &got);
    text.resize(got);
    return text;
}

void SetWindowTextRemote(HWND window, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
}

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT r = ScreenRect(control);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Key(WORD vk, bool shift, bool ctrl, bool alt) {
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
    if (alt) inputs.push_back(KeyInput(VK_MENU, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    if (alt) inputs.push_back(KeyInput(VK_MENU, true));
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    SendInputs(inputs);
    PumpFor(60);
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = c;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(in);
        in.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInputs(inputs);
    PumpFor(60);
}

void ClickAt(POINT screen, bool twice) {
    std::vector<INPUT> inputs{MouseInput(0, screen)};
    SendInputs(inputs);
    PumpFor(60);
    for (int i = 0; i < (twice ? 2 : 1); i++) {
        std::vector<INPUT> click{MouseInput(MOUSEEVENTF_LEFTDOWN, screen), MouseInput(MOUSEEVENTF_LEFTUP, screen)};
        SendInputs(click);
        PumpFor(60);
    }
}

void ClickCentre(HWND window) {
    const RECT r = ScreenRect(window);
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void Drag(POINT from, POINT to) {
    std::vector<INPUT> down{MouseInput(0, from), MouseInput(MOUSEEVENTF_LEFTDOWN, from)};
    SendInputs(down);
    PumpFor(100);
    for (int step = 1; step <= 5; step++) {
        std::vector<INPUT> move{
            MouseInput(0, POINT{from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5})};
        SendInputs(move);
        PumpFor(60);
    }
    std::vector<INPUT> up{MouseInput(MOUSEEVENTF_LEFTUP, to)};
    SendInputs(up);
    PumpFor(150);
}

std::vector<uint8_t> Capture(const RECT& r) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); i++) {
        rgb[i * 3] = px[i * 4 + 2];
        rgb[i * 3 + 1] = px[i * 4 + 1];
        rgb[i * 3 + 2] = px[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return rgb;
}

COLORREF PixelAt(const std::vector<uint8_t>& rgb, const RECT& r, int x, int y) {
    const int width = r.right - r.left;
    const size_t i = (static_cast<size_t>(y - r.top) * static_cast<size_t>(width) + static_cast<size_t>(x - r.left)) * 3;
    if (x < r.left || y < r.top || x >= r.right || y >= r.bottom) return CLR_INVALID;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}

bool SaveCapture(const RECT& r, const std::wstring& name) {
    return WritePng(ArtifactPath(name), r.right - r.left, r.bottom - r.top, Capture(r));
}

int CountProcesses(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, name) == 0) count++;
    }
    CloseHandle(snapshot);
    return count;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

std::wstring FromUtf8(const std::string& s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}
