// Points the Wine prefix's browser setting at a stand-in script for the test's length, and reads what
// the script recorded. The setting the prefix had is put back at the end.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

class FakeBrowser {
public:
    // browser: the stand-in (a Unix path); log: the file it writes its arguments to (a Windows path).
    FakeBrowser(const wchar_t* browser, const wchar_t* log) : log_(log) {
        DeleteFileW(log_);
        hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kKey, L"Browsers", RRF_RT_REG_SZ, nullptr, previous_,
                                 &previousSize_) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Browsers", REG_SZ, browser,
                        static_cast<DWORD>((wcslen(browser) + 1) * sizeof(wchar_t)));
    }
    ~FakeBrowser() {
        if (hadValue_) {
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Browsers", REG_SZ, previous_, previousSize_);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Browsers");
        }
    }
    FakeBrowser(const FakeBrowser&) = delete;
    FakeBrowser& operator=(const FakeBrowser&) = delete;

    // The arguments the browser was started with, one a line, once written whole; empty when it
    // never was within the limit.
    std::string Opened(std::chrono::milliseconds limit) const {
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end; Sleep(50)) {
            HANDLE h = CreateFileW(log_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            char buffer[512];
            DWORD read = 0;
            ReadFile(h, buffer, sizeof buffer, &read, nullptr);
            CloseHandle(h);
            std::string text(buffer, read);
            if (!text.empty() && text.back() == '\n') return text;
        }
        return {};
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\WineBrowser";
    const wchar_t* log_;
    wchar_t previous_[1024] = {};
    DWORD previousSize_ = sizeof previous_;
    bool hadValue_ = false;
};
