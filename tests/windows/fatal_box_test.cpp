// The fatal report as a user meets it: a program ends through it, a message box shows the report,
// OK is pressed, and the program's exit code is -1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Child.h"

namespace {

struct MessageBoxSeen {
    HWND box = nullptr;
    std::wstring title, text;
    HWND owner = nullptr;
    int stockIcon = 0;  // the IDI_ value whose picture the box shows
};

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (pid == s->processId && std::wstring(cls) == L"#32770" && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// Icon handles do not cross processes under Wine, so the picture is compared instead: the icon
// control's pixels on the screen against each stock icon drawn on the same background.
int ShownStockIcon(HWND iconControl) {
    RECT r;
    GetWindowRect(iconControl, &r);
    const int size = GetSystemMetrics(SM_CXICON);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(mem, bitmap);
    const COLORREF background = GetPixel(screen, r.left, r.top);
    HBRUSH brush = CreateSolidBrush(background);
    int best = 0;
    long long bestDistance = -1;
    for (int id : {32513, 32514, 32515, 32516}) {  // IDI_ERROR, IDI_QUESTION, IDI_WARNING, IDI_INFORMATION
        RECT all{0, 0, size, size};
        FillRect(mem, &all, brush);
        DrawIconEx(mem, 0, 0, LoadIconW(nullptr, MAKEINTRESOURCEW(id)), size, size, 0, nullptr, DI_NORMAL);
        long long distance = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                COLORREF a = GetPixel(screen, r.left + x, r.top + y), b = GetPixel(mem, x, y);
                distance += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                            std::abs(GetBValue(a) - GetBValue(b));
            }
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = id;
        }
    }
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return best;
}

BOOL CALLBACK ReadStatic(HWND w, LPARAM p) {
    auto* seen = reinterpret_cast<MessageBoxSeen*>(p);
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (std::wstring(cls) != L"Static") return TRUE;
    if ((GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        seen->stockIcon = ShownStockIcon(w);
        return TRUE;
    }
    int n = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(w, text.data(), n + 1)));
    if (!text.empty()) seen->text = text;
    return TRUE;
}

// Waits for the child's message box, reads it and presses OK.
MessageBoxSeen AnswerMessageBox(DWORD processId) {
    MessageBoxSeen seen;
    Search s{processId, nullptr};
    for (int i = 0; i < 200 && !s.found; ++i) {
        EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&s));
        if (!s.found) Sleep(50);
    }
    if (!s.found) return seen;
    seen.box = s.found;
    SetWindowPos(s.found, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(s.found, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(100);  // painted by the other process
    wchar_t title[64] = {};
    GetWindowTextW(s.found, title, 64);
    seen.title = title;
    seen.owner = GetWindow(s.found, GW_OWNER);
    EnumChildWindows(s.found, ReadStatic, reinterpret_cast<LPARAM>(&seen));
    HWND ok = GetDlgItem(s.found, IDOK);
    if (ok) SendMessageW(ok, BM_CLICK, 0, 0);
    return seen;
}

}  // namespace

TEST(FatalReport, ShowsTheReportAndEndsWithMinusOne) {
    struct Case {
        const wchar_t* args;
        const wchar_t* text;
    } cases[] = {
        {L"fatal-code 1", L"运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"},
        {L"fatal-code 4", L"运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n"},
        {L"bind nosuch.dll SomeFunction",
         L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“nosuch.dll”中的输出命令“SomeFunction”\r\n"},
        {L"bind kernel32.dll NoSuchExport",
         L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“kernel32.dll”中的输出命令“NoSuchExport”\r\n"},
        {L"bind - NoSuchExport", L"运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchExport”\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "probe " << std::string(c.args, c.args + wcslen(c.args)));
        Child child = StartChild(OwnFolder() + L"probe.exe", c.args);
        ASSERT_TRUE(child.process);
        MessageBoxSeen seen = AnswerMessageBox(child.id);
        EXPECT_NE(seen.box, nullptr) << "no message box appeared";
        EXPECT_EQ(seen.title, L"错误");
        EXPECT_TRUE(seen.text == c.text) << "the box says something else";
        EXPECT_EQ(seen.owner, nullptr);
        EXPECT_EQ(seen.stockIcon, 32513) << "not the error icon";  // IDI_ERROR
        EXPECT_EQ(WaitForExit(child, 10000), 0xFFFFFFFFu);
        EXPECT_EQ(ReadAll(child), "") << "the program went on after the report";
    }
}
