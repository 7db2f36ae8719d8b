#include <string>

#include "sys/Win.h"
#include "util/Fatal.h"

namespace {

// The system's converter directly, not the bound one: the report may be telling that binding failed.
std::wstring ReportWide(const Text& t) {
    int n = ::MultiByteToWideChar(936, 0, t.CStr(), -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(936, 0, t.CStr(), -1, w.data(), n);
    w.resize(static_cast<size_t>(n - 1));
    return w;
}

}  // namespace

void ShowFatalReportAndExit(const Text& report) {
    const std::wstring text = ReportWide(report);
    const std::wstring title = ReportWide("\xB4\xED\xCE\xF3");  // 错误
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_ICONERROR | MB_OK);
    ExitProcess(static_cast<UINT>(-1));
}
