#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Number of code points in well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF), or nullopt when the bytes are not well-formed.
std::optional<size_t> CountUtf8CodePoints(std::string_view bytes);
