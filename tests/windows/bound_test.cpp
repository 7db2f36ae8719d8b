// The table of functions bound by name, and where their libraries come from.
#include <gtest/gtest.h>

#include <string>

#include "Child.h"
#include "sys/Bound.h"
#include "sys/SystemLibrary.h"

namespace {

// The address the system's own library (already loaded from the system folder) gives.
FARPROC SystemAddress(const wchar_t* library, const char* function) {
    HMODULE m = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC p = m ? GetProcAddress(m, function) : nullptr;
    if (m) FreeLibrary(m);
    return p;
}

HMODULE ModuleOf(FARPROC address) {
    HMODULE m = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(address), &m);
    return m;
}

template <typename F>
FARPROC Raw(F f) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f));
}

}  // namespace

TEST(BoundTable, EveryEntryBindsToTheSystemFunction) {
    struct Case {
        FARPROC bound;
        const wchar_t* library;
        const char* function;
    } cases[] = {
        {Raw(bound::MultiByteToWideChar()), L"kernel32.dll", "MultiByteToWideChar"},
        {Raw(bound::WideCharToMultiByte()), L"kernel32.dll", "WideCharToMultiByte"},
        {Raw(bound::InternetOpenA()), L"wininet.dll", "InternetOpenA"},
        {Raw(bound::InternetConnectA()), L"wininet.dll", "InternetConnectA"},
        {Raw(bound::InternetCloseHandle()), L"wininet.dll", "InternetCloseHandle"},
        {Raw(bound::HttpSendRequestA()), L"wininet.dll", "HttpSendRequestA"},
        {Raw(bound::HttpQueryInfoA()), L"wininet.dll", "HttpQueryInfoA"},
        {Raw(bound::InternetSetCookieA()), L"wininet.dll", "InternetSetCookieA"},
        {Raw(bound::HttpOpenRequestA()), L"wininet.dll", "HttpOpenRequestA"},
        {Raw(bound::InternetReadFile()), L"wininet.dll", "InternetReadFile"},
        {Raw(bound::URLDownloadToFileW()), L"urlmon.dll", "URLDownloadToFileW"},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.bound, nullptr) << c.function;
        EXPECT_EQ(c.bound, SystemAddress(c.library, c.function)) << c.function;
        EXPECT_EQ(GetProcAddress(ModuleOf(c.bound), "PlantedMarker"), nullptr) << c.function << " from the plant";
    }
    ReleaseBoundLibraries();
}

TEST(BoundTable, KeepsLibrariesUntilReleasedAndBindsAgainAfterwards) {
    auto first = bound::InternetReadFile();
    EXPECT_EQ(bound::InternetReadFile(), first);
    EXPECT_NE(GetModuleHandleW(L"wininet.dll"), nullptr);

    ReleaseBoundLibraries();
    EXPECT_EQ(GetModuleHandleW(L"wininet.dll"), nullptr) << "still loaded after the release";

    EXPECT_NE(bound::InternetReadFile(), nullptr);
    EXPECT_NE(GetModuleHandleW(L"wininet.dll"), nullptr);
    wchar_t out[4] = {};
    EXPECT_EQ(bound::MultiByteToWideChar()(936, 0, "\xC4\xE3", -1, out, 4), 2);  // 你
    EXPECT_EQ(out[0], L'\u4F60');
    ReleaseBoundLibraries();
}

TEST(BoundTable, EmptyLibraryNameTakesTheFirstOfTheSixThatExports) {
    struct Case {
        const char* function;
        const wchar_t* library;
    } cases[] = {
        {"GetTickCount", L"kernel32.dll"},  {"CreateSolidBrush", L"gdi32.dll"},
        {"GetDesktopWindow", L"user32.dll"}, {"GetUserNameW", L"advapi32.dll"},
        {"WNetGetConnectionW", L"mpr.dll"},  {"ShellExecuteW", L"shell32.dll"},
    };
    for (const Case& c : cases) {
        FARPROC p = BindByName("", c.function);
        EXPECT_EQ(p, SystemAddress(c.library, c.function)) << c.function;
    }
    ReleaseBoundLibraries();
}

TEST(BoundTable, FailureMessagesNameLibraryAndFunction) {
    EXPECT_EQ(BindFailureMessage("nosuch.dll", "Foo").Str(),
              "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL" "\xBF\xE2\xCE\xC4\xBC\xFE\xA1\xB0"  // 无法找到指定DLL库文件“
              "nosuch.dll"
              "\xA1\xB1\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0"  // ”中的输出命令“
              "Foo\xA1\xB1");  // ”
    EXPECT_EQ(BindFailureMessage("", "Foo").Str(),
              "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL"
              "\xBF\xE2\xCE\xC4\xBC\xFE\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0"  // 无法找到指定DLL库文件中的输出命令“
              "Foo\xA1\xB1");  // ”
}

// The test programs sit beside a planted wininet.dll and tvplant.dll, and run with Wine told to take a
// native wininet.dll where it finds one (see CMakeLists.txt), as Windows does.
TEST(PlantedDll, TheStandardSearchWouldLoadIt) {
    EXPECT_EQ(RunProbe(L"load-plain wininet.dll").output, "planted\n")
        << "the plant is not effective here";
}

TEST(PlantedDll, TheTableLoadsTheSystemLibraryInstead) {
    ProbeResult r = RunProbe(L"bound-internet");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.output, "system\n");
}

TEST(PlantedDll, ALibraryOnlyBesideTheProgramIsNotFound) {
    EXPECT_FALSE(LoadSystemLibrary("tvplant.dll"));
    HMODULE beside = LoadLibraryW(L"tvplant.dll");
    EXPECT_NE(beside, nullptr) << "the plant is missing";
    if (beside) FreeLibrary(beside);
    EXPECT_TRUE(LoadSystemLibrary("kernel32.dll"));
    EXPECT_FALSE(LoadSystemLibrary(""));
}
