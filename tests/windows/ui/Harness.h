// Starting Tarvinel in a run folder of its own, finding its window, and touching it as a user does:
// real key presses and mouse clicks through SendInput, texts and focus read through window handles,
// and the rest read from inside through the probe.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Control ids of the main window, as the driver knows them.
enum UiId : int {
    kGroup1 = 1001,
    kEdit1 = 1002,
    kButton1 = 1003,
    kButton2 = 1004,
    kGroup2 = 1005,
    kGroup3 = 1006,
    kEdit2 = 1007,
    kPublisherItem = 2001,
};

std::wstring EnvOr(const wchar_t* name, const std::wstring& fallback = L"");
std::wstring ArtifactPath(const std::wstring& name);

bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 5000);

class App {
public:
    App();  // starts Tarvinel and waits for its window; check Started()
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    bool Started() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    DWORD ThreadId() const { return thread_; }
    const std::wstring& RunFolder() const { return folder_; }

    // Lines of "key=value" read from inside the program.
    std::map<std::string, std::string> Probe();

    HWND Focus() const;
    void Foreground();
    // Lets the program take up what was sent to it.
    void Settle(int milliseconds = 150) const;

    // Exit code once the process has ended, or nothing when it is still running after the wait.
    bool WaitExit(int milliseconds, DWORD& exitCode);
    bool Running() const;

private:
    std::wstring folder_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    DWORD thread_ = 0;
    HHOOK probeHook_ = nullptr;
    HMODULE probe_ = nullptr;
};

std::wstring WindowText(HWND window);
void SetWindowTextRemote(HWND window, const std::wstring& text);
RECT ClientRectOf(HWND control, HWND parent);
RECT ScreenRect(HWND window);

// Real input.
void Key(WORD vk, bool shift = false, bool ctrl = false, bool alt = false);
void TypeText(const std::wstring& text);
void ClickAt(POINT screen, bool twice = false);
void ClickCentre(HWND window);
void Drag(POINT from, POINT to);

// The screen's pixels inside r (screen coordinates), three bytes each.
std::vector<uint8_t> Capture(const RECT& r);
COLORREF PixelAt(const std::vector<uint8_t>& rgb, const RECT& r, int x, int y);  // screen x, y
bool SaveCapture(const RECT& r, const std::wstring& name);

// Processes whose image name is name.
int CountProcesses(const wchar_t* name);
// Files in a folder, names only.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
std::string ReadFileBytes(const std::wstring& path);
std::wstring FromUtf8(const std::string& s);
