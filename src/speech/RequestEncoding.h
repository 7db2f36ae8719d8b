// The text to speak travels in the request's query as percent-encoded UTF-8, while the window hands
// it over in code page 936.
#pragma once

#include "util/Text.h"

// UTF-16LE with a terminating zero unit; empty when the text cannot be converted.
Bytes AnsiToUtf16(const Text& text);
// UTF-8 with a terminating zero byte, from UTF-16LE that ends with a zero unit.
Bytes Utf16ToUtf8(const Bytes& utf16);
Bytes AnsiToUtf8(const Text& text);
// Every byte but ASCII letters and digits becomes "%" and two upper-case hex digits.
Text UrlEncodeUtf8(const Text& text);
