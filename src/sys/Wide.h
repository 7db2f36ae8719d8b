// Text (code page 936) at the boundary with Windows' W functions. Names and captions are converted
// here, right at the call, so they reach Windows intact whatever the system's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

#include "util/Text.h"

// A Text as a W function's argument: null for the absent text, as SysText is for A functions.
class WideArg {
public:
    explicit WideArg(const Text& t);
    const wchar_t* Get() const { return absent_ ? nullptr : wide_.c_str(); }
    const std::wstring& Str() const { return wide_; }

private:
    std::wstring wide_;
    bool absent_ = true;
};

std::wstring ToWide(const Text& t);

// A name read from Windows, in code page 936. exact is false when 936 cannot represent every
// character, the result then holding replacement characters.
struct NarrowText {
    Text text;
    bool exact = true;
};
NarrowText FromWide(std::wstring_view w);
