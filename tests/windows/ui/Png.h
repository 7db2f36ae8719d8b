// A minimal PNG writer (24-bit, stored deflate blocks): pictures of the window for people to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height pixels, three bytes each, rows top first.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<uint8_t>& rgb);
