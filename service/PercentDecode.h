#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decodes a query value: %XX (either case) becomes that byte, '+' a space, any other byte stays.
// A '%' not followed by two hex digits makes the whole value unusable: nullopt.
std::optional<std::string> PercentDecode(std::string_view encoded);
