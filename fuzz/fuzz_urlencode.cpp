// Decoding the percent-encoded form gives exactly the UTF-8 of the input; for input that iconv
// converts whole, that UTF-8 is iconv's.
#include <iconv.h>

#include <cstdlib>
#include <string>

#include "speech/RequestEncoding.h"

namespace {

void Check(bool ok) {
    if (!ok) abort();
}

int HexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

std::string Decode(std::string_view encoded) {
    std::string out;
    for (size_t i = 0; i < encoded.size(); i++) {
        char c = encoded[i];
        if (c == '%') {
            Check(i + 2 < encoded.size());
            char hi = encoded[i + 1], lo = encoded[i + 2];
            Check(((hi >= '0' && hi <= '9') || (hi >= 'A' && hi <= 'F')) && ((lo >= '0' && lo <= '9') || (lo >= 'A' && lo <= 'F')));
            out += static_cast<char>(HexValue(hi) * 16 + HexValue(lo));
            i += 2;
        } else {
            Check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
            out += c;
        }
    }
    return out;
}

// iconv's UTF-8 of the whole text, or false when it refuses any of it.
bool IconvUtf8(std::string_view text, std::string& out) {
    static iconv_t cd = iconv_open("UTF-8", "CP936");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.assign(text.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* o = out.data();
    size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Text text = Text::Of(std::string_view(reinterpret_cast<const char*>(data), size));
    Text encoded = UrlEncodeUtf8(text);
    std::string decoded = Decode(encoded.View());
    Bytes utf8 = AnsiToUtf8(text);
    // The absent text reaches the conversion as a null pointer, which converts to nothing at all.
    if (text.IsAbsent()) {
        Check(utf8.Empty() && decoded.empty());
        return 0;
    }
    Check(!utf8.Empty() && utf8.Data()[utf8.Length() - 1] == 0);
    Check(decoded == std::string(utf8.View().substr(0, static_cast<size_t>(utf8.Length()) - 1)));
    std::string reference;
    if (IconvUtf8(text.View(), reference)) Check(decoded == reference);
    return 0;
}
