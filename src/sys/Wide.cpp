#include "sys/Wide.h"

#include "sys/Bound.h"
#include "util/CodePage.h"

std::wstring ToWide(const Text& t) {
    if (t.Empty()) return {};
    auto convert = bound::MultiByteToWideChar();
    int n = convert(kCodePageGbk, 0, t.CStr(), t.Length(), nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    convert(kCodePageGbk, 0, t.CStr(), t.Length(), w.data(), n);
    return w;
}

WideArg::WideArg(const Text& t) : wide_(ToWide(t)), absent_(t.IsAbsent()) {}

NarrowText FromWide(std::wstring_view w) {
    w = w.substr(0, w.find(L'\0'));
    if (w.empty()) return {};
    auto convert = bound::WideCharToMultiByte();
    const int length = static_cast<int>(w.size());
    BOOL usedDefault = FALSE;
    int n = convert(kCodePageGbk, WC_NO_BEST_FIT_CHARS, w.data(), length, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0) return {Text(), false};
    std::string bytes(static_cast<size_t>(n), '\0');
    convert(kCodePageGbk, WC_NO_BEST_FIT_CHARS, w.data(), length, bytes.data(), n, nullptr, &usedDefault);
    return {Text::Of(bytes), usedDefault == FALSE};
}
