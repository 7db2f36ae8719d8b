// Times how long programs take from process start to their first visible window, taking turns so
// that both see the same machine, and prints the median of each and their ratio:
//   startup_timer STARTS PROGRAM YARDSTICK
// The last line is "ratio startup_vs_bare_window VALUE <= 1.50".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    bool shown;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) {
        search->shown = true;
        return FALSE;
    }
    return TRUE;
}

void CloseAll(DWORD pid) {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == static_cast<DWORD>(data)) PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        static_cast<LPARAM>(pid));
}

// Milliseconds until the program's window is visible; negative when it never is.
double TimeStart(const std::wstring& program) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + program + L"\"";
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return -1;
    }
    double elapsed = -1;
    for (;;) {
        Search search{pi.dwProcessId, false};
        EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        if (search.shown) {
            elapsed = ms;
            break;
        }
        if (ms > 30000 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    CloseAll(pi.dwProcessId);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return elapsed;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: startup_timer STARTS PROGRAM YARDSTICK\n");
        return 2;
    }
    const int starts = std::max(1, _wtoi(argv[1]));
    const std::wstring program = argv[2];
    const std::wstring yardstick = argv[3];
    // One start of each first, unmeasured: the prefix and the file cache are warm from here on.
    TimeStart(program);
    TimeStart(yardstick);
    std::vector<double> programTimes, yardstickTimes;
    for (int i = 0; i < starts; i++) {
        const bool programFirst = i % 2 == 0;
        const double a = TimeStart(programFirst ? program : yardstick);
        const double b = TimeStart(programFirst ? yardstick : program);
        const double p = programFirst ? a : b;
        const double y = programFirst ? b : a;
        if (p < 0 || y < 0) {
            fprintf(stderr, "a program did not show its window\n");
            return 1;
        }
        programTimes.push_back(p);
        yardstickTimes.push_back(y);
    }
    const double p = Median(programTimes);
    const double y = Median(yardstickTimes);
    printf("startup: Tarvinel median %.1f ms, bare window median %.1f ms over %d starts each\n", p, y, starts);
    printf("ratio startup_vs_bare_window %.2f <= 1.50\n", p / y);
    return 0;
}
