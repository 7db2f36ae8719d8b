#include "speech/RequestEncoding.h"

#include <algorithm>
#include <string>
#include <vector>

#include "util/CodePage.h"

// One pass with a buffer of the largest size the text can need (a unit per byte and the terminator)
// gives the same units as asking for the size first, for half the work.
Bytes AnsiToUtf16(const Text& text) {
    const char* src = SysText(text);
    if (!src) return Bytes();
    int capacity = text.Length() + 1;
    Bytes out = BlankBytes(2 * capacity);
    int n = MultiByteToUtf16(kCodePageGbk, src, -1, reinterpret_cast<char16_t*>(out.Data()), capacity);
    if (n <= 0) return Bytes();
    out.Vec().resize(static_cast<size_t>(n) * 2);
    return out;
}

namespace {

uint32_t UnitAt(const Bytes& b, size_t i) { return b.Data()[2 * i] | (b.Data()[2 * i + 1] << 8); }

void PutUtf8(std::vector<uint8_t>& out, uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<uint8_t>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<uint8_t>(0xC0 | c >> 6));
        out.push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<uint8_t>(0xE0 | c >> 12));
        out.push_back(static_cast<uint8_t>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<uint8_t>(0xF0 | c >> 18));
        out.push_back(static_cast<uint8_t>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<uint8_t>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

// UTF-16 to UTF-8 is fixed by the two standards, so it is done here in one pass rather than through
// the platform's converter twice; an unpaired surrogate becomes U+FFFD, as the Windows conversion
// makes it. As there, the result keeps the byte count of all units but stops converting after the
// first zero unit; the bytes behind it stay zero.
Bytes Utf16ToUtf8(const Bytes& utf16) {
    size_t units = static_cast<size_t>(BytesLength(utf16)) / 2;
    if (units == 0) return Bytes();
    std::vector<uint8_t> out;
    out.reserve(units * 3);
    size_t zeroAt = units;
    size_t sizeAtZero = 0;
    for (size_t i = 0; i < units; i++) {
        uint32_t u = UnitAt(utf16, i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            uint32_t low = UnitAt(utf16, i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                PutUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i++;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
        PutUtf8(out, u);
        if (u == 0 && zeroAt == units) {
            zeroAt = i;
            sizeAtZero = out.size();
        }
    }
    if (zeroAt != units) std::fill(out.begin() + static_cast<std::ptrdiff_t>(sizeAtZero), out.end(), 0);
    return Bytes(std::move(out));
}

Bytes AnsiToUtf8(const Text& text) { return Utf16ToUtf8(AnsiToUtf16(text)); }

Text UrlEncodeUtf8(const Text& text) {
    static const char kHex[] = "0123456789ABCDEF";
    Bytes u = AnsiToUtf8(text);
    size_t n = u.Empty() ? 0 : static_cast<size_t>(BytesLength(u)) - 1;  // without the terminator
    std::string out(n * 3, '\0');
    char* p = out.data();
    for (size_t i = 0; i < n; i++) {
        uint8_t b = u.Data()[i];
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            *p++ = static_cast<char>(b);
        } else {
            *p++ = '%';
            *p++ = kHex[b >> 4];
            *p++ = kHex[b & 0xF];
        }
    }
    out.resize(static_cast<size_t>(p - out.data()));
    return Text::Of(out);
}
