#include "sys/Bound.h"

#include <array>
#include <string>
#include <vector>

#include "sys/SystemLibrary.h"
#include "util/Fatal.h"

namespace {

enum Slot {
    kMultiByteToWideChar,
    kWideCharToMultiByte,
    kInternetOpenA,
    kInternetConnectA,
    kInternetCloseHandle,
    kHttpSendRequestA,
    kHttpQueryInfoA,
    kInternetSetCookieA,
    kHttpOpenRequestA,
    kInternetReadFile,
    kURLDownloadToFileW,
    kSlotCount
};

struct Entry {
    const char* library;
    const char* function;
};

constexpr std::array<Entry, kSlotCount> kTable = {{
    {"", "MultiByteToWideChar"},
    {"", "WideCharToMultiByte"},
    {"wininet.dll", "InternetOpenA"},
    {"wininet.dll", "InternetConnectA"},
    {"wininet.dll", "InternetCloseHandle"},
    {"wininet.dll", "HttpSendRequestA"},
    {"wininet.dll", "HttpQueryInfoA"},
    {"wininet.dll", "InternetSetCookieA"},
    {"WinINet.dll", "HttpOpenRequestA"},
    {"WinINet.dll", "InternetReadFile"},
    {"urlmon", "URLDownloadToFileW"},
}};

constexpr std::array<const char*, 6> kDefaultLibraries = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

struct LoadedLibrary {
    std::string name;
    ModuleOwner module;
};

// Never destroyed: freeing libraries from a static destructor at exit is unsafe, and shut-down frees
// them explicitly.
std::vector<LoadedLibrary>& Loaded() {
    static auto* loaded = new std::vector<LoadedLibrary>;
    return *loaded;
}

std::array<FARPROC, kSlotCount>& Addresses() {
    static std::array<FARPROC, kSlotCount> addresses{};
    return addresses;
}

HMODULE FindLoaded(const std::string& name) {
    for (const auto& l : Loaded())
        if (l.name == name) return l.module.Get();
    return nullptr;
}

FARPROC Lookup(const Text& library, const Text& function) {
    if (!library.Empty()) {
        HMODULE m = FindLoaded(library.Str());
        if (!m) {
            ModuleOwner loaded = LoadSystemLibrary(library);
            if (!loaded) return nullptr;
            m = loaded.Get();
            Loaded().push_back({library.Str(), std::move(loaded)});
        }
        return GetProcAddress(m, function.CStr());
    }
    for (const char* name : kDefaultLibraries) {
        if (HMODULE m = FindLoaded(name)) {
            if (FARPROC p = GetProcAddress(m, function.CStr())) return p;
            continue;
        }
        ModuleOwner candidate = LoadSystemLibrary(name);
        if (!candidate) continue;
        if (FARPROC p = GetProcAddress(candidate.Get(), function.CStr())) {
            Loaded().push_back({name, std::move(candidate)});
            return p;
        }
    }
    return nullptr;
}

FARPROC Bound(Slot s) {
    FARPROC& address = Addresses()[s];
    if (!address) address = BindByName(kTable[s].library, kTable[s].function);
    return address;
}

template <typename F>
F As(FARPROC p) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(p));
}

}  // namespace

FARPROC BindByName(const Text& library, const Text& function) {
    if (!function.Empty())
        if (FARPROC p = Lookup(library, function)) return p;
    FatalErrorMessage(BindFailureMessage(library, function));
}

Text BindFailureMessage(const Text& library, const Text& function) {
    if (library.Empty())
        return Concat(
            "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL"
            "\xBF\xE2\xCE\xC4\xBC\xFE\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0",  // 无法找到指定DLL库文件中的输出命令“
            function, "\xA1\xB1");  // ”
    return Concat(
        "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL" "\xBF\xE2\xCE\xC4\xBC\xFE\xA1\xB0",  // 无法找到指定DLL库文件“
        library,
        "\xA1\xB1\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0",  // ”中的输出命令“
        function, "\xA1\xB1");  // ”
}

void ReleaseBoundLibraries() {
    Addresses().fill(nullptr);
    Loaded().clear();
}

namespace bound {
#define TARVINEL_BOUND(name) \
    decltype(&::name) name() { return As<decltype(&::name)>(Bound(k##name)); }
TARVINEL_BOUND(MultiByteToWideChar)
TARVINEL_BOUND(WideCharToMultiByte)
TARVINEL_BOUND(InternetOpenA)
TARVINEL_BOUND(InternetConnectA)
TARVINEL_BOUND(InternetCloseHandle)
TARVINEL_BOUND(HttpSendRequestA)
TARVINEL_BOUND(HttpQueryInfoA)
TARVINEL_BOUND(InternetSetCookieA)
TARVINEL_BOUND(HttpOpenRequestA)
TARVINEL_BOUND(InternetReadFile)
TARVINEL_BOUND(URLDownloadToFileW)
#undef TARVINEL_BOUND
}  // namespace bound
