// Code-page conversion for the native build, over glibc iconv. For valid code page 936 text it gives
// the same units as the Windows conversion; where glibc has no mapping (the user-defined areas and the
// single byte FF) it gives the private-use code points Windows gives, and a lone or broken lead byte becomes
// "?" as on Windows.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "util/CodePage.h"

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns the number of input bytes consumed.
    size_t Run(const char* in, size_t n, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        size_t inLeft = n;
        while (inLeft > 0) {
            char buf[4096];
            char* outPtr = buf;
            size_t outLeft = sizeof buf;
            size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buf, static_cast<size_t>(outPtr - buf));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return n - inLeft;
    }

private:
    iconv_t cd_;
};

Converter& GbkToUtf16() {
    thread_local Converter c("UTF-16LE", "CP936");
    return c;
}
Converter& Utf16ToUtf8() {
    thread_local Converter c("UTF-8", "UTF-16LE");
    return c;
}
Converter& Utf16ToGbk() {
    thread_local Converter c("CP936", "UTF-16LE");
    return c;
}

void PutUnit(std::string& out, char16_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
}

bool IsTrailByte(uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// Pairs outside the three user-defined areas that glibc leaves unmapped, in byte order. Windows gives
// them the private-use code points from U+E766 on, one after another in the same order.
const std::vector<uint16_t>& UnmappedPairs() {
    thread_local std::vector<uint16_t> pairs = [] {
        std::vector<uint16_t> found;
        Converter probe("UTF-16LE", "CP936");
        for (int lead = 0x81; lead <= 0xFE; lead++) {
            for (int trail = 0x40; trail <= 0xFE; trail++) {
                if (!IsTrailByte(static_cast<uint8_t>(trail))) continue;
                bool userArea = (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) || (lead >= 0xF8 && trail >= 0xA1) ||
                                (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0);
                if (userArea) continue;
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                std::string out;
                if (probe.Run(pair, 2, out) != 2) found.push_back(static_cast<uint16_t>(lead << 8 | trail));
            }
        }
        return found;
    }();
    return pairs;
}

// The private-use code points Windows gives to pairs that glibc does not map.
char16_t UserDefinedUnit(uint8_t lead, uint8_t trail) {
    if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1 && trail <= 0xFE) {
        return static_cast<char16_t>(0xE000 + (lead - 0xAA) * 94 + (trail - 0xA1));
    }
    if (lead >= 0xF8 && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE) {
        return static_cast<char16_t>(0xE234 + (lead - 0xF8) * 94 + (trail - 0xA1));
    }
    if (lead >= 0xA1 && lead <= 0xA7 && trail >= 0x40 && trail <= 0xA0 && trail != 0x7F) {
        return static_cast<char16_t>(0xE4C6 + (lead - 0xA1) * 96 + (trail - 0x40 - (trail > 0x7F)));
    }
    const auto& pairs = UnmappedPairs();
    auto it = std::lower_bound(pairs.begin(), pairs.end(), static_cast<uint16_t>(lead << 8 | trail));
    if (it != pairs.end() && *it == (lead << 8 | trail)) return static_cast<char16_t>(0xE766 + (it - pairs.begin()));
    return u'?';
}

std::string GbkToUtf16Bytes(const char* src, size_t n) {
    std::string out;
    out.reserve(n * 2);
    size_t i = 0;
    while (i < n) {
        i += GbkToUtf16().Run(src + i, n - i, out);
        if (i >= n) break;
        auto lead = static_cast<uint8_t>(src[i]);
        if (lead == 0xFF) {
            PutUnit(out, 0xF8F5);
            i++;
        } else if (i + 1 < n && IsTrailByte(static_cast<uint8_t>(src[i + 1]))) {
            PutUnit(out, UserDefinedUnit(lead, static_cast<uint8_t>(src[i + 1])));
            i += 2;
        } else {
            PutUnit(out, u'?');
            i++;
        }
    }
    return out;
}

std::string FromUtf16(Converter& c, const char16_t* src, size_t units, const char* replacement) {
    std::string out;
    out.reserve(units * 3);
    auto bytes = reinterpret_cast<const char*>(src);
    size_t n = units * 2, i = 0;
    while (i < n) {
        i += c.Run(bytes + i, n - i, out);
        if (i >= n) break;
        out += replacement;  // an unpaired surrogate or an unmappable character
        i += 2;
    }
    return out;
}

int Deliver(const std::string& result, size_t unitSize, void* dst, int dstCapacity) {
    size_t units = result.size() / unitSize;
    if (units == 0 || units > INT32_MAX) return 0;
    if (dstCapacity == 0) return static_cast<int>(units);
    if (dstCapacity < 0 || static_cast<size_t>(dstCapacity) < units || !dst) return 0;
    memcpy(dst, result.data(), result.size());
    return static_cast<int>(units);
}

size_t Utf16Length(const char16_t* s) {
    size_t n = 0;
    while (s[n]) n++;
    return n;
}

}  // namespace

int MultiByteToUtf16(unsigned codePage, const char* src, int srcLength, char16_t* dst, int dstCapacity) {
    if (!src || srcLength == 0 || srcLength < -1) return 0;
    size_t n = srcLength == -1 ? strlen(src) + 1 : static_cast<size_t>(srcLength);
    std::string out;
    if (codePage == kCodePageGbk) {
        if (!GbkToUtf16().Ok()) return 0;
        out = GbkToUtf16Bytes(src, n);
    } else if (codePage == kCodePageUtf8) {
        thread_local Converter fromUtf8("UTF-16LE", "UTF-8");
        if (!fromUtf8.Ok()) return 0;
        size_t i = 0;
        while (i < n) {
            i += fromUtf8.Run(src + i, n - i, out);
            if (i >= n) break;
            PutUnit(out, 0xFFFD);
            i++;
        }
    } else {
        return 0;
    }
    return Deliver(out, 2, dst, dstCapacity);
}

int Utf16ToMultiByte(unsigned codePage, const char16_t* src, int srcLength, char* dst, int dstCapacity) {
    if (!src || srcLength == 0 || srcLength < -1) return 0;
    size_t units = srcLength == -1 ? Utf16Length(src) + 1 : static_cast<size_t>(srcLength);
    std::string out;
    if (codePage == kCodePageUtf8) {
        if (!Utf16ToUtf8().Ok()) return 0;
        out = FromUtf16(Utf16ToUtf8(), src, units, "\xEF\xBF\xBD");
    } else if (codePage == kCodePageGbk) {
        if (!Utf16ToGbk().Ok()) return 0;
        out = FromUtf16(Utf16ToGbk(), src, units, "?");
    } else {
        return 0;
    }
    return Deliver(out, 1, dst, dstCapacity);
}
