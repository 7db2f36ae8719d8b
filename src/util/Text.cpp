#include "util/Text.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "util/Fatal.h"

namespace {

bool IsLeadByte(uint8_t b) { return b >= 0x80; }

uint8_t FoldAscii(uint8_t b) { return (b >= 'A' && b <= 'Z') ? static_cast<uint8_t>(b + 0x20) : b; }

bool EqualFolded(const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; i++) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// The step from a candidate at offset p to the next character boundary.
size_t CharStep(const uint8_t* s, size_t p) { return IsLeadByte(s[p]) ? 2 : 1; }

const uint8_t* FindBytes(const uint8_t* hay, size_t n, const uint8_t* needle, size_t m) {
#ifdef __GLIBC__
    return static_cast<const uint8_t*>(memmem(hay, n, needle, m));
#else
    std::string_view h(reinterpret_cast<const char*>(hay), n);
    size_t at = h.find(std::string_view(reinterpret_cast<const char*>(needle), m));
    return at == std::string_view::npos ? nullptr : hay + at;
#endif
}

// Case-sensitive search that only reports matches at character boundaries as walked from `from`.
// A fast byte search skips quickly over the text; a candidate is then checked for being on a boundary by
// walking back over the run of bytes >= 0x80 before it: after any byte below 0x80 the next position
// is always a boundary, so the parity of that run decides. The walk stops at the last position known
// to be a boundary, which keeps the whole search linear.
long long FindExact(const uint8_t* s, size_t len, size_t from, const uint8_t* needle, size_t m) {
    size_t pos = from;
    size_t knownBoundary = from;
    while (pos + m <= len) {
        const uint8_t* hit = FindBytes(s + pos, len - pos, needle, m);
        if (!hit) return -1;
        size_t c = static_cast<size_t>(hit - s);
        size_t k = c;
        while (k > knownBoundary && IsLeadByte(s[k - 1])) k--;
        if ((c - k) % 2 == 0) return static_cast<long long>(c);
        pos = knownBoundary = c + 1;  // c is a trail byte, so c + 1 starts a character
    }
    return -1;
}

long long FindFolded(const uint8_t* s, size_t len, size_t from, const uint8_t* needle, size_t m) {
    size_t p = from;
    while (len - p >= m) {
        if (EqualFolded(s + p, needle, m)) return static_cast<long long>(p);
        size_t step = CharStep(s, p);
        if (len - p < step) break;
        p += step;
    }
    return -1;
}

}  // namespace

Text::Text(const char* literal) : bytes_(literal ? literal : ""), present_(literal != nullptr) {}

Text Text::Of(std::string_view bytes) {
    Text t;
    size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
    t.bytes_.assign(bytes);
    t.present_ = !t.bytes_.empty();
    return t;
}

Text Text::Present(std::string_view bytes) {
    Text t = Of(bytes);
    t.present_ = true;
    return t;
}

Bytes Bytes::Of(std::string_view bytes) {
    return Bytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

int Bytes::Element(int i) const {
    if (i < 1) FatalError(kFatalIndexBelowOne);
    if (i > Length()) FatalError(kFatalIndexAboveLength);
    return v_[static_cast<size_t>(i - 1)];
}

int TextLength(const Text& t) { return t.Length(); }

int CompareText(const Text& a, const Text& b) {
    int c = a.View().compare(b.View());  // char_traits<char>::compare compares as unsigned char
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Text Concat(std::initializer_list<Text> parts) {
    std::string out;
    size_t n = 0;
    for (const Text& p : parts) n += p.View().size();
    out.reserve(n);
    for (const Text& p : parts) out += p.View();
    return Text::Present(out);
}

Text TextLeft(const Text& t, int n) {
    if (n <= 0) return Text();
    return Text::Of(t.View().substr(0, static_cast<size_t>(n)));
}

Text TextRight(const Text& t, int n) {
    if (n <= 0) return Text();
    size_t len = t.View().size();
    size_t k = std::min(len, static_cast<size_t>(n));
    return Text::Of(t.View().substr(len - k));
}

Text TextMid(const Text& t, int start, int n) {
    int len = t.Length();
    if (start < 1 || start > len || n <= 0) return Text();
    return Text::Of(t.View().substr(static_cast<size_t>(start - 1), static_cast<size_t>(n)));
}

int FindText(const Text& t, const Text& sought, int start, bool foldCase) {
    size_t len = t.View().size();
    size_t m = sought.View().size();
    size_t skip = start > 1 ? static_cast<size_t>(start - 1) : 0;
    if (skip >= len) return -1;
    if (m == 0) return 1;
    auto s = reinterpret_cast<const uint8_t*>(t.View().data());
    auto needle = reinterpret_cast<const uint8_t*>(sought.View().data());
    long long p = foldCase ? FindFolded(s, len, skip, needle, m) : FindExact(s, len, skip, needle, m);
    return p < 0 ? -1 : static_cast<int>(p + 1);
}

Text ReplaceAt(const Text& t, int start, int count, const Text& replacement) {
    long long len = t.Length();
    long long offset = std::min<long long>(std::max<long long>(static_cast<long long>(start) - 1, 0), len);
    long long removed = std::min<long long>(std::max(count, 0), len - offset);
    std::string out(t.View());
    out.replace(static_cast<size_t>(offset), static_cast<size_t>(removed), replacement.View());
    return Text::Of(out);
}

static Text MapAsciiLetters(const Text& t, char from, char to, int delta) {
    std::string out(t.View());
    for (size_t i = 0; i < out.size(); i++) {
        auto b = static_cast<uint8_t>(out[i]);
        if (IsLeadByte(b)) {
            i++;  // the trail byte is never changed
        } else if (out[i] >= from && out[i] <= to) {
            out[i] = static_cast<char>(out[i] + delta);
        }
    }
    return Text::Of(out);
}

Text ToUpper(const Text& t) { return MapAsciiLetters(t, 'a', 'z', -0x20); }
Text ToLower(const Text& t) { return MapAsciiLetters(t, 'A', 'Z', 0x20); }

Text RemoveSpaces(const Text& t) {
    std::string_view in = t.View();
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); i++) {
        auto b = static_cast<uint8_t>(in[i]);
        if (b == 0x20) continue;
        if (IsLeadByte(b)) {
            if (i + 1 >= in.size()) break;  // a cut-off double-byte character is dropped
            if (!(b == 0xA1 && static_cast<uint8_t>(in[i + 1]) == 0xA1)) out.append(in.substr(i, 2));
            i++;
            continue;
        }
        out += in[i];
    }
    return Text::Of(out);
}

Text BlankText(int n) { return n <= 0 ? Text() : Text::Of(std::string(static_cast<size_t>(n), ' ')); }

Text CharText(int code) { return Text::Of(std::string(1, static_cast<char>(code & 0xFF))); }

Text IntToText(int i) { return Text::Of(std::to_string(i)); }

Text HexText(int i) {
    static const char kDigits[] = "0123456789ABCDEF";
    auto v = static_cast<uint32_t>(i);
    char buf[8];
    int n = 0;
    do {
        buf[7 - n++] = kDigits[v & 0xF];
        v >>= 4;
    } while (v != 0);
    return Text::Of(std::string_view(buf + 8 - n, static_cast<size_t>(n)));
}

// Full-width forms become their ASCII equivalents so that "８０" reads as 80.
static std::string FoldFullWidth(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); i++) {
        auto b = static_cast<uint8_t>(in[i]);
        if (!IsLeadByte(b)) {
            out += in[i];
            continue;
        }
        if (i + 1 >= in.size()) break;
        auto t = static_cast<uint8_t>(in[i + 1]);
        if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) {
            out += static_cast<char>(t - 0x80);
        } else if (b == 0xA1 && t == 0xA1) {
            out += ' ';
        } else if (b == 0xA1 && t == 0xAB) {
            out += '~';
        } else if (b == 0xA1 && (t == 0xEE || t == 0xEF)) {
            out += '*';
        } else {
            out.append(in.substr(i, 2));
        }
        i++;
    }
    return out;
}

double ToNumber(const Text& t) {
    std::string s = FoldFullWidth(t.View());
    size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < s.size() && isSpace(s[i])) i++;
    // Copy the accepted prefix into the form strtod reads, with d/D exponents as e; strtod alone
    // would also take hexadecimal, "inf" and "nan", none of which count here.
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) { number += s[i++]; digits = true; }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && isDigit(s[i])) { number += s[i++]; digits = true; }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) exponent += s[j++];
            number += exponent;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

int TruncToInt(double d) {
    // Out of range and NaN have no integer value; saturate instead of invoking undefined behaviour.
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return INT_MAX;
    if (d <= -2147483648.0) return INT_MIN;
    return static_cast<int>(d);
}

int BytesLength(const Bytes& b) { return b.Length(); }

Bytes BlankBytes(int n) { return n <= 0 ? Bytes() : Bytes(std::vector<uint8_t>(static_cast<size_t>(n), 0)); }

Bytes BytesLeft(const Bytes& b, int n) {
    if (n <= 0) return Bytes();
    size_t k = std::min(b.Vec().size(), static_cast<size_t>(n));
    return Bytes(std::vector<uint8_t>(b.Vec().begin(), b.Vec().begin() + static_cast<std::ptrdiff_t>(k)));
}

Bytes TextToBytes(const Text& t) { return Bytes::Of(t.View()); }
Bytes TextToBytes(const Bytes& b) { return b; }

Text BytesToText(const Bytes& b) { return Text::Of(b.View()); }
