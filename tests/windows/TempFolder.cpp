#include "TempFolder.h"

#include <algorithm>
#include <vector>

#include "sys/Win.h"
#include "sys/Wide.h"

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = f.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = dir + L"\\" + name;
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(h, &f));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    static int counter = 0;
    wide_ = std::wstring(temp) + L"tarvinel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    CreateDirectoryW(wide_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(wide_); }

Text TempFolder::Path() const { return FromWide(wide_).text; }

std::wstring TempFolder::Listing(const std::wstring& sub) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW f;
    std::wstring dir = sub.empty() ? wide_ : wide_ + L"\\" + sub;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = f.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(h, &f));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());
    std::wstring out;
    for (const auto& n : names) out += (out.empty() ? L"" : L"|") + n;
    return out;
}
