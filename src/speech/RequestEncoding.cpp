#include "speech/RequestEncoding.h"

#include <cstring>
#include <string>

#include "util/CodePage.h"

Bytes AnsiToUtf16(const Text& text) {
    const char* src = SysText(text);
    int n = MultiByteToUtf16(kCodePageGbk, src, -1, nullptr, 0);
    if (n <= 0) return Bytes();
    Bytes out = BlankBytes(2 * n);
    int written = MultiByteToUtf16(kCodePageGbk, src, -1, reinterpret_cast<char16_t*>(out.Data()), n);
    return written == n ? out : Bytes();
}

Bytes Utf16ToUtf8(const Bytes& utf16) {
    int units = BytesLength(utf16) / 2;
    if (units == 0) return Bytes();
    // The units are read in place; copy them first if the array is not suitably aligned.
    std::u16string aligned(units, u'\0');
    memcpy(aligned.data(), utf16.Data(), static_cast<size_t>(units) * 2);
    int k = Utf16ToMultiByte(kCodePageUtf8, aligned.data(), units, nullptr, 0);
    if (k <= 0) return Bytes();
    Bytes out = BlankBytes(k);
    auto dst = reinterpret_cast<char*>(out.Data());
    // Stop at the first zero unit; units without one are converted as counted instead of read past.
    if (Utf16ToMultiByte(kCodePageUtf8, aligned.data(), -1, dst, k) == 0) {
        Utf16ToMultiByte(kCodePageUtf8, aligned.data(), units, dst, k);
    }
    return out;
}

Bytes AnsiToUtf8(const Text& text) { return Utf16ToUtf8(AnsiToUtf16(text)); }

Text UrlEncodeUtf8(const Text& text) {
    static const char kHex[] = "0123456789ABCDEF";
    Bytes u = AnsiToUtf8(text);
    u = BytesLeft(u, BytesLength(u) - 1);
    std::string out;
    out.reserve(static_cast<size_t>(BytesLength(u)) * 3);
    for (uint8_t b : u.Vec()) {
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out += static_cast<char>(b);
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
    }
    return Text::Of(out);
}
