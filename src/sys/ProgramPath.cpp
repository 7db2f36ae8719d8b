#include "sys/ProgramPath.h"

#include "sys/Wide.h"
#include "sys/Win.h"

Text PathText(const std::wstring& path) {
    NarrowText narrow = FromWide(path);
    if (narrow.exact) return narrow.text;
    DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return narrow.text;
    std::wstring shortPath(n, L'\0');
    n = GetShortPathNameW(path.c_str(), shortPath.data(), n);
    if (n == 0 || n >= shortPath.size()) return narrow.text;
    shortPath.resize(n);
    return FromWide(shortPath).text;
}

Text ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return Text();
        if (n < path.size()) {
            path.resize(n);
            return PathText(path);
        }
        if (path.size() >= 32768) return Text();
        path.resize(path.size() * 2);
    }
}
